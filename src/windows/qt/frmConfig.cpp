#include "windows/qt/frmConfig.h"

#include "bindings/hot_key_timer.h"
#include "bindings/settings_key.h"
#include "platform/diagnostic.h"
#include "windows/qt/desktop_trigger_note.h"
#include "windows/qt/message_box.h"
#include "windows/qt/twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSystemTrayIcon>
#ifdef Q_OS_WIN
#include <QWinEventNotifier>
#else
#include <QSocketNotifier>
#endif

namespace vantrel {

namespace {
QString toQString(const std::u16string &text) { return QString::fromStdU16String(text); }
} // namespace

frmConfig::frmConfig(PlatformServices services, std::unique_ptr<FilePicker> picker)
    : FixedDialog(QStringLiteral("Vantrel Configuration"), twipsSize(5775, 3630)), services_(services),
      poller_(services.keys, bindings_, services.opener), CD1(std::move(picker))
{
    // Unlike the side windows, this one keeps its window menu; only its Close
    // command is gone, with the close button.
    setWindowFlag(Qt::WindowSystemMenuHint);
    createControls();
    createTray();
    // The desktop's global shortcuts are taken only for keys with a file.
    bindings_.setLiveObserver([this] {
        for (const auto key : platform::kFunctionKeys)
            showRow(key);
        services_.keys.useKeys(bindings_.keysWithFiles());
        showKeyTriggers();
    });
    startWatchingKeys();
}

frmConfig::~frmConfig() = default;

void frmConfig::startWatchingKeys()
{
    std::string error;
    if (!poller_.start(&error)) {
        printDiagnostic("vantrel: not watching F6 to F12: " + error);
        return;
    }
    tmrHotKey = new HotKeyTimer(
        services_.keys.wakeup(), [this] { return tmrHotKey_Timer(); }, this);
}

void frmConfig::stopWatchingKeys()
{
    delete tmrHotKey;
    tmrHotKey = nullptr;
}

std::string frmConfig::handOverPress(FunctionKey key) { return poller_.pressHandedOver(key); }

bool frmConfig::isWatchingKeys() const { return tmrHotKey && tmrHotKey->isActive(); }

bool frmConfig::tmrHotKey_Timer()
{
    const bool alive = poller_.tick();
    // The desktop may have reported other triggers for the keys.
    showKeyTriggers();
    if (alive)
        return true;
    printDiagnostic("vantrel: lost the key source; F6 to F12 no longer open anything");
    return false;
}

void frmConfig::Form_Load()
{
    setWindowIcon(Trayicon1->icon());
    // The frame has no close button from its creation on, so there is no
    // window menu to trim, and no need to show the window for it: showing
    // and hiding it here would only flash it on the screen.
    // Watched before it is read, so that no change made in between is missed.
    startWatchingSettings();
    loadBindings();
}

void frmConfig::startWatchingSettings()
{
    std::string error;
    settingsWatch_ = services_.registry.watchKey(kSettingsRoot, kSettingsKeyPath, &error);
    if (!settingsWatch_) {
        printDiagnostic("vantrel: " + error + "; settings changed outside Vantrel show after a restart");
        return;
    }
    const auto wakeup = settingsWatch_->wakeup();
    const auto changed = [this] {
        if (settingsWatch_->collect())
            loadBindings();
    };
#ifdef Q_OS_WIN
    auto notifier = std::make_unique<QWinEventNotifier>(wakeup.event);
    connect(notifier.get(), &QWinEventNotifier::activated, this, changed);
#else
    auto notifier = std::make_unique<QSocketNotifier>(wakeup.fd, QSocketNotifier::Read);
    connect(notifier.get(), &QSocketNotifier::activated, this, changed);
#endif
    settingsNotifier_ = std::move(notifier);
}

void frmConfig::loadBindings()
{
    // A file being written in place may be caught half-way; its last write
    // wakes the watch again.
    const auto loaded = bindings_.load(services_.registry);
    if (!loaded.ok)
        printDiagnostic("vantrel: " + loaded.reason + "; the keys keep their bindings until it can be read");
}

void frmConfig::showRow(FunctionKey key)
{
    QLineEdit *box = txtF[platform::slotIndex(key)];
    const QString path = toQString(bindings_.live(key));
    box->setText(path);
    // A long path shows its beginning, and all of it under the pointer.
    box->setCursorPosition(0);
    box->setToolTip(path);
}

void frmConfig::showKeyTriggers()
{
    for (const auto key : platform::kFunctionKeys)
        Key[platform::slotIndex(key)]->setToolTip(desktopTriggerNote(services_.keys, key));
}

bool frmConfig::eventFilter(QObject *watched, QEvent *event)
{
    for (const auto key : platform::kFunctionKeys) {
        const auto slot = platform::slotIndex(key);
        if (watched == txtF[slot] && event->type() == QEvent::FocusIn)
            txtF_GotFocus(key);
        else if (watched == cmdF[slot] && event->type() == QEvent::KeyPress)
            cmdF_KeyDown(key, static_cast<QKeyEvent *>(event)->key());
    }
    return QDialog::eventFilter(watched, event);
}

void frmConfig::cmdF_Click(FunctionKey key)
{
    CD1.Filter = QStringLiteral("All Files (*)");
    CD1.DialogTitle = QStringLiteral("Choose File...");
    switch (CD1.ShowOpen(this)) {
    case FilePicker::Outcome::Chosen:
        bindings_.browse(key, CD1.FileName.toStdU16String());
        break;
    case FilePicker::Outcome::Cancelled:
        break;
    case FilePicker::Outcome::Failed:
        CD1.FileName = toQString(bindings_.pathCopy(key));
        break;
    }
}

void frmConfig::txtF_GotFocus(FunctionKey key) { cmdF[platform::slotIndex(key)]->setFocus(Qt::OtherFocusReason); }

void frmConfig::cmdF_KeyDown(FunctionKey key, int keyCode)
{
    // Every row clears the same way, so that any binding can be removed.
    if (keyCode != Qt::Key_Delete)
        return;
    bindings_.clear(key);
}

void frmConfig::cmdOK_Click()
{
    const auto saved = bindings_.save(services_.registry);
    if (!saved.ok) {
        // The window stays open, so the edits are neither lost nor taken for saved.
        showMessage(
            this,
            QStringLiteral("The key settings could not be saved.\n\n%1").arg(QString::fromStdString(saved.reason)));
        return;
    }
    hide();
}

void frmConfig::cmdCancel_Click() { hide(); }

} // namespace vantrel
