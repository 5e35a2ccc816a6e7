#include "windows/qt/frmConfig.h"

#include "artwork/artwork.h"
#include "bindings/hot_key_timer.h"
#include "bindings/settings_key.h"
#include "platform/diagnostic.h"
#include "windows/qt/clickable_label.h"
#include "windows/qt/twips.h"

#include <QEventLoop>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSocketNotifier>
#include <QSystemTrayIcon>
#include <QTimer>

namespace vantrel {

using namespace design::frmConfig;

frmConfig::frmConfig(PlatformServices services, std::unique_ptr<FilePicker> picker)
    : FixedDialog(twipsSize(design::frmConfig::window().clientSize)), QtWindowView(this, design::frmConfig::window()),
      services_(services), poller_(services.keys, bindings_, services.opener), picker_(std::move(picker)),
      behaviour_(*this, bindings_, services.registry, services.keys, places_)
{
    // Unlike the side windows, this one keeps its window menu; only its Close
    // command is gone, with the close button.
    setWindowFlag(Qt::WindowSystemMenuHint);
    controls().get<QLabel>(Image1)->setPixmap(logoPicture(controls()[Image1]->devicePixelRatioF()));
    connectControls();
    createTray();
    startWatchingKeys();
}

frmConfig::~frmConfig() = default;

void frmConfig::connectControls()
{
    connect(controls().get<QPushButton>(cmdOK), &QPushButton::clicked, this, [this] { behaviour_.cmdOK_Click(); });
    connect(controls().get<QPushButton>(cmdCancel), &QPushButton::clicked, this,
            [this] { behaviour_.cmdCancel_Click(); });
    connect(controls().get<ClickableLabel>(imgAbout), &ClickableLabel::clicked, this,
            [this] { behaviour_.imgAbout_Click(); });
    for (const auto key : platform::kFunctionKeys) {
        connect(controls().get<QPushButton>(cmdF(key)), &QPushButton::clicked, this,
                [this, key] { behaviour_.cmdF_Click(key); });
        controls()[txtF(key)]->installEventFilter(this);
        controls()[cmdF(key)]->installEventFilter(this);
    }
}

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

bool frmConfig::tmrHotKey_Timer()
{
    const bool alive = poller_.tick();
    // The desktop may have reported other triggers for the keys.
    behaviour_.showKeyTriggers();
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
    auto notifier = std::make_unique<QSocketNotifier>(wakeup.fd, QSocketNotifier::Read);
    connect(notifier.get(), &QSocketNotifier::activated, this, changed);
    settingsNotifier_ = std::move(notifier);
}

void frmConfig::loadBindings()
{
    // A row whose value can't be read keeps what it shows; the watch wakes
    // again when the file next changes.
    const auto loaded = bindings_.load(services_.registry);
    if (!loaded.ok)
        printDiagnostic("vantrel: " + loaded.reason + "; the keys keep their bindings until it can be read");
}

// Only Delete means anything to the rows; every other key keeps its usual
// effect on the button.
bool frmConfig::eventFilter(QObject *watched, QEvent *event)
{
    for (const auto key : platform::kFunctionKeys) {
        if (watched == controls()[txtF(key)] && event->type() == QEvent::FocusIn)
            behaviour_.txtF_GotFocus(key);
        else if (watched == controls()[cmdF(key)] && event->type() == QEvent::KeyPress &&
                 static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete)
            behaviour_.cmdF_KeyDown(key, kDeleteKeyCode);
    }
    return QDialog::eventFilter(watched, event);
}

// The program may have been told to end while the dialog's place was looked
// at: no dialog then.
design::OpenFileAnswer frmConfig::askFileToOpen(const design::OpenFileRequest &request)
{
    if (ending_)
        return {design::OpenFileAnswer::Outcome::Cancelled, {}};
    const auto result =
        picker_->pickFileToOpen(this, {toQString(request.title), toQString(request.filterName) + QStringLiteral(" (*)"),
                                       toQString(request.startName), toQString(request.startFolder)});
    switch (result.outcome) {
    case FilePicker::Outcome::Chosen:
        return {design::OpenFileAnswer::Outcome::Chosen, toU16(result.path)};
    case FilePicker::Outcome::Cancelled:
        return {design::OpenFileAnswer::Outcome::Cancelled, {}};
    case FilePicker::Outcome::Failed:
        break;
    }
    return {design::OpenFileAnswer::Outcome::Failed, {}};
}

bool frmConfig::letEventsRunUntil(const std::function<bool()> &done, std::chrono::milliseconds limit)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer look;
    connect(&look, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    look.start(std::chrono::milliseconds(10));
    QTimer::singleShot(limit, &loop, &QEventLoop::quit);
    loop.exec();
    return done();
}

} // namespace vantrel
