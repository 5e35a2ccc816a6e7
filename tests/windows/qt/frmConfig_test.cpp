#include "message_box_driver.h"
#include "support/idle_keys.h"
#include "support/recording_opener.h"

#include "bindings/Registry_Module.h"
#include "bindings/settings_key.h"
#include "platform/platform.h"
#include "support/registry_test_env.h"
#include "windows/qt/fonts.h"
#include "windows/qt/frmConfig.h"
#include "windows/qt/twips.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSystemTrayIcon>
#include <QTemporaryDir>
#include <QtTest>

#include <cstdlib>
#include <deque>

using vantrel::frmConfig;
using vantrel::twipsRect;
using vantrel::platform::FunctionKey;
using Outcome = vantrel::FilePicker::Outcome;

namespace {

// Plays the user in the Open dialog: answers each request with the next
// scripted result and remembers what was asked.
class ScriptedPicker : public vantrel::FilePicker {
public:
    struct Asked {
        QWidget *owner;
        Request request;
    };

    std::deque<Result> answers;
    std::vector<Asked> asked;

    Result pickFileToOpen(QWidget *owner, const Request &request) override
    {
        asked.push_back({owner, request});
        if (answers.empty())
            qFatal("the Open dialog came up unexpectedly");
        Result answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

const char *const kSlots[] = {"F6", "F7", "F8", "F9", "F10", "F11", "F12"};

template <class Widget>
Widget *child(QWidget *window, const QString &name)
{
    auto *widget = window->findChild<Widget *>(name);
    if (!widget)
        qFatal("no control %s", qPrintable(name));
    return widget;
}

QLineEdit *txt(QWidget *window, FunctionKey key)
{
    return child<QLineEdit>(window, QStringLiteral("txtF%1").arg(6 + static_cast<int>(key)));
}
QPushButton *cmd(QWidget *window, FunctionKey key)
{
    return child<QPushButton>(window, QStringLiteral("cmdF%1").arg(6 + static_cast<int>(key)));
}

// Where a banner control sits, counted from within the banner's border.
QRect placeInBanner(QWidget *window, const QString &name)
{
    auto *banner = child<QFrame>(window, QStringLiteral("imgLogo"));
    return child<QWidget>(window, name)->geometry().translated(-banner->contentsRect().topLeft());
}

std::u16string stored(vantrel::platform::Registry &registry, const std::u16string &name)
{
    return vantrel::Registry_Module::ReadRegString(registry, vantrel::kSettingsRoot, vantrel::kSettingsKeyPath, name)
        .value_or(u"<absent>");
}

void store(vantrel::platform::Registry &registry, const std::u16string &name, const std::u16string &path)
{
    QVERIFY(vantrel::Registry_Module::WriteRegString(registry, vantrel::kSettingsRoot, vantrel::kSettingsKeyPath, name,
                                                     path)
                .ok);
}

} // namespace

class FrmConfigTest : public QObject {
    Q_OBJECT

    std::unique_ptr<vantrel::platform::Registry> registry;
    vantrel::test::IdleKeys keys;
    vantrel::test::RecordingOpener opener;
    ScriptedPicker *picker = nullptr;
    std::unique_ptr<frmConfig> window;

    // A configuration window as start-up leaves it, over the current registry.
    void start()
    {
        auto scripted = std::make_unique<ScriptedPicker>();
        picker = scripted.get();
        window = std::make_unique<frmConfig>(vantrel::PlatformServices{*registry, keys, opener}, std::move(scripted));
        window->Form_Load();
    }

    void showWindow()
    {
        window->mnuConfig_Click();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }

private slots:
    void initTestCase() { vantrel::installFontSubstitutions(); }

    void init()
    {
        registry = vantrel::test::makeEmptyRegistry();
        start();
    }

    void cleanup() { window.reset(); }

    void layoutFollowsTheDesign()
    {
        QWidget *w = window.get();
        QCOMPARE(w->windowTitle(), QStringLiteral("Vantrel Configuration"));
        QCOMPARE(w->size(), QSize(385, 242));
        QCOMPARE(w->minimumSize(), w->maximumSize());
        QCOMPARE(w->font().family(), QStringLiteral("Comic Sans MS"));
        QCOMPARE(w->font().pointSizeF(), 8.25);
        QVERIFY(!w->font().bold());
        const auto flags = w->windowFlags();
        QCOMPARE(flags & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(flags & Qt::WindowTitleHint);
        QVERIFY(!(flags & (Qt::WindowCloseButtonHint | Qt::WindowMinMaxButtonsHint)));

        auto *frame = child<QGroupBox>(w, QStringLiteral("Frame1"));
        QCOMPARE(frame->geometry(), twipsRect(1440, 60, 4275, 2895));
        QCOMPARE(frame->title(), QStringLiteral("Keys"));
        QCOMPARE(frame->font().pointSizeF(), 9.75);
        QVERIFY(frame->font().bold());

        for (const auto key : vantrel::platform::kFunctionKeys) {
            const int slot = static_cast<int>(key);
            const int top = 300 + 360 * slot;
            auto *label = child<QLabel>(w, QStringLiteral("Key%1").arg(slot));
            QCOMPARE(label->parentWidget(), frame);
            QCOMPARE(label->text(), QString::fromLatin1(kSlots[slot]));
            QCOMPARE(label->geometry(), twipsRect(120, top + 60, slot < 4 ? 210 : 315, 240));
            QVERIFY(label->font().bold());
            QCOMPARE(label->font().pointSizeF(), 8.25);
            QCOMPARE(label->focusPolicy(), Qt::NoFocus);

            QCOMPARE(txt(w, key)->parentWidget(), frame);
            QCOMPARE(txt(w, key)->geometry(), twipsRect(480, top, 2970, 285));
            QVERIFY(txt(w, key)->isReadOnly());
            QCOMPARE(txt(w, key)->font(), w->font());

            QCOMPARE(cmd(w, key)->parentWidget(), frame);
            QCOMPARE(cmd(w, key)->geometry(), twipsRect(3480, top, 735, 255));
            QCOMPARE(cmd(w, key)->text(), QStringLiteral("Browse"));
            QCOMPARE(cmd(w, key)->font(), w->font());
        }

        auto *ok = child<QPushButton>(w, QStringLiteral("cmdOK"));
        QCOMPARE(ok->geometry(), twipsRect(4860, 3060, 855, 495));
        QCOMPARE(ok->text(), QStringLiteral("&OK"));
        QVERIFY(ok->isDefault());
        QVERIFY(ok->font().bold());
        QCOMPARE(ok->font().pointSizeF(), 12.0);
        auto *cancel = child<QPushButton>(w, QStringLiteral("cmdCancel"));
        QCOMPARE(cancel->geometry(), twipsRect(3960, 3060, 855, 495));
        QCOMPARE(cancel->text(), QStringLiteral("Cancel"));
        QVERIFY(!cancel->font().bold());
        QCOMPARE(cancel->font().pointSizeF(), 12.0);
    }

    void bannerFollowsTheDesign()
    {
        QWidget *w = window.get();
        auto *banner = child<QFrame>(w, QStringLiteral("imgLogo"));
        QCOMPARE(banner->geometry(), twipsRect(60, 60, 1320, 3540));
        QCOMPARE(banner->frameShadow(), QFrame::Sunken);

        QCOMPARE(placeInBanner(w, QStringLiteral("imgAbout")), twipsRect(0, 0, 1275, 3495));
        QCOMPARE(placeInBanner(w, QStringLiteral("Image1")), twipsRect(180, 60, 960, 1920));
        QCOMPARE(child<QLabel>(w, QStringLiteral("Image1"))->pixmap().deviceIndependentSize(), QSizeF(64, 128));
        QVERIFY(!child<QLabel>(w, QStringLiteral("Image1"))->hasScaledContents());

        struct Caption {
            const char *name;
            QString text;
            QRect place;
            const char *family;
            double points;
        };
        const Caption captions[] = {
            {"Label1", QStringLiteral("Vantrel"), twipsRect(60, 1800, 1155, 375), "Comic Sans MS", 12},
            {"Label2", QStringLiteral("\u00A9 2026 Morvask. All rights reserved."), twipsRect(120, 3060, 1035, 375),
             "Comic Sans MS", 6},
            {"Label3", QStringLiteral("(About)"), twipsRect(390, 2100, 465, 180), "Arial", 6.75},
        };
        for (const auto &caption : captions) {
            auto *label = child<QLabel>(w, QString::fromLatin1(caption.name));
            QCOMPARE(label->text(), caption.text);
            QCOMPARE(placeInBanner(w, QString::fromLatin1(caption.name)), caption.place);
            QCOMPARE(label->font().family(), QString::fromLatin1(caption.family));
            QCOMPARE(label->font().pointSizeF(), caption.points);
            QVERIFY(label->alignment() & Qt::AlignHCenter);
            // The rights notice must fit its place, wrapped.
            QVERIFY2(label->heightForWidth(label->width()) <= label->height() || !label->wordWrap(), caption.name);
        }

        // The about patch lies over every other control of the banner.
        auto *about = child<QWidget>(w, QStringLiteral("imgAbout"));
        for (const char *name : {"Image1", "Label1", "Label2", "Label3"}) {
            const QRect under = child<QWidget>(w, QString::fromLatin1(name))->geometry();
            QCOMPARE(banner->childAt(under.center()), about);
        }
    }

    // Tab walks the buttons in the designed order; the path boxes sit in the
    // chain at their tab indexes but Tab passes them by, so no row traps it.
    void tabOrderFollowsTheDesign()
    {
        const QStringList designed = {"txtF6",  "cmdF6",  "cmdF7",  "txtF7",  "cmdF8",  "txtF8",  "cmdF9", "txtF9",
                                      "cmdF10", "txtF10", "cmdF11", "txtF11", "cmdF12", "txtF12", "cmdOK", "cmdCancel"};
        QStringList chain;
        QWidget *at = txt(window.get(), FunctionKey::F6);
        do {
            if (designed.contains(at->objectName()))
                chain << at->objectName();
            at = at->nextInFocusChain();
        } while (at != txt(window.get(), FunctionKey::F6));
        QCOMPARE(chain, designed);

        showWindow();
        QCOMPARE(window->focusWidget()->objectName(), QStringLiteral("cmdF6"));
        QStringList walked;
        for (int step = 0; step < 10; ++step) {
            QTest::keyClick(window->focusWidget(), Qt::Key_Tab);
            walked << window->focusWidget()->objectName();
        }
        QCOMPARE(walked, QStringList({"cmdF7", "cmdF8", "cmdF9", "cmdF10", "cmdF11", "cmdF12", "cmdOK", "cmdCancel",
                                      "cmdF6", "cmdF7"}));
    }

    // A screen reader tells the rows apart: each button says which key it
    // browses for, and each path box is named by its key's label.
    void assistiveTechnologyTellsTheRowsApart()
    {
        for (const auto key : vantrel::platform::kFunctionKeys) {
            const auto name = QString::fromLatin1(kSlots[static_cast<int>(key)]);
            QAccessibleInterface *button = QAccessible::queryAccessibleInterface(cmd(window.get(), key));
            QVERIFY(button);
            QCOMPARE(button->text(QAccessible::Name), QStringLiteral("Browse for ") + name);

            QAccessibleInterface *box = QAccessible::queryAccessibleInterface(txt(window.get(), key));
            QVERIFY(box);
            QCOMPARE(box->text(QAccessible::Name), name);
            auto *label = child<QLabel>(window.get(), QStringLiteral("Key%1").arg(static_cast<int>(key)));
            QCOMPARE(label->buddy(), txt(window.get(), key));
            bool labelled = false;
            for (const auto &[other, relation] : box->relations(QAccessible::Label))
                labelled = labelled || other->object() == label;
            QVERIFY(labelled);
        }
    }

    void startUpLoadsTheBindingsAndStaysHidden()
    {
        store(*registry, u"F6", u"/usr/bin/six");
        store(*registry, u"F12", u"  twelve with spaces ");
        start();

        QVERIFY(!window->isVisible());
        QCOMPARE(txt(window.get(), FunctionKey::F6)->text(), QStringLiteral("/usr/bin/six"));
        QCOMPARE(txt(window.get(), FunctionKey::F12)->text(), QStringLiteral("  twelve with spaces "));
        QCOMPARE(txt(window.get(), FunctionKey::F9)->text(), QString());
        QCOMPARE(window->bindings().pathCopy(FunctionKey::F12), u"  twelve with spaces ");
    }

    // Another program (here a second store over the same settings) saves
    // while the window runs: the row shows it without a restart.
    void aSaveByAnotherHandShowsInTheRows()
    {
        store(*vantrel::platform::createRegistry(), u"F6", u"/outside/six");
        QTRY_COMPARE_WITH_TIMEOUT(txt(window.get(), FunctionKey::F6)->text(), QStringLiteral("/outside/six"), 20000);
        QCOMPARE(window->bindings().pathCopy(FunctionKey::F6), u"/outside/six");
    }

    // A click into any path box lands on its row's button; typing there
    // changes no path.
    void focusMovesFromThePathToItsButton()
    {
        store(*registry, u"F9", u"/bin/nine");
        start();
        showWindow();
        for (const auto key : vantrel::platform::kFunctionKeys) {
            QLineEdit *box = txt(window.get(), key);
            const QString before = box->text();
            QTest::mouseClick(box, Qt::LeftButton);
            QCOMPARE(QApplication::focusWidget(), cmd(window.get(), key));
            QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("typed"));
            QTest::keyClicks(box, QStringLiteral("typed"));
            QCOMPARE(box->text(), before);
        }
    }

    // Delete on a row's button empties that row's box and its live binding;
    // the path copy keeps the path. Other keys leave the row alone.
    void deleteClearsItsRowOnly()
    {
        for (int slot = 0; slot < 7; ++slot)
            store(*registry, QString::fromLatin1(kSlots[slot]).toStdU16String(),
                  QStringLiteral("/p/%1").arg(kSlots[slot]).toStdU16String());
        start();
        showWindow();

        for (const auto key : vantrel::platform::kFunctionKeys) {
            const int slot = static_cast<int>(key);
            const auto path = QStringLiteral("/p/%1").arg(kSlots[slot]);
            QTest::keyClick(cmd(window.get(), key), Qt::Key_Backspace);
            QTest::keyClick(cmd(window.get(), key), Qt::Key_D);
            QCOMPARE(txt(window.get(), key)->text(), path);

            QTest::keyClick(cmd(window.get(), key), Qt::Key_Delete, Qt::ShiftModifier | Qt::ControlModifier);
            QCOMPARE(txt(window.get(), key)->text(), QString());
            QVERIFY(window->bindings().live(key).empty());
            QCOMPARE(QString::fromStdU16String(window->bindings().pathCopy(key)), path);
            if (key != FunctionKey::F12)
                QCOMPARE(txt(window.get(), static_cast<FunctionKey>(slot + 1))->text(),
                         QStringLiteral("/p/%1").arg(kSlots[slot + 1]));
        }
    }

    void browseTakesTheChosenFile()
    {
        store(*registry, u"F8", u"/old/eight");
        start();
        showWindow();
        picker->answers.push_back({Outcome::Chosen, QStringLiteral("/home/u/My Notes")});

        QTest::mouseClick(cmd(window.get(), FunctionKey::F8), Qt::LeftButton);

        QCOMPARE(picker->asked.size(), std::size_t(1));
        const auto &asked = picker->asked.front();
        QCOMPARE(asked.owner, window.get());
        QCOMPARE(asked.request.title, QStringLiteral("Choose File..."));
        QCOMPARE(asked.request.filter, QStringLiteral("All Files (*)"));
        QCOMPARE(asked.request.startName, QString());
        QCOMPARE(txt(window.get(), FunctionKey::F8)->text(), QStringLiteral("/home/u/My Notes"));
        QCOMPARE(window->bindings().live(FunctionKey::F8), u"/home/u/My Notes");
        QCOMPARE(window->bindings().pathCopy(FunctionKey::F8), u"/home/u/My Notes");
        QCOMPARE(stored(*registry, u"F8"), u"/old/eight");
    }

    // Only keys with a file are asked of the desktop; where it fires a key's
    // file through another trigger, the key's label says so in its tooltip.
    void keysWithFilesAreAskedForAndOtherTriggersNoted()
    {
        store(*registry, u"F8", u"/p/eight");
        keys.triggers = {"Ctrl+F6", "F7", "", std::nullopt};
        start();
        QCOMPARE(keys.used.back(), (vantrel::platform::KeySelection{false, false, true}));
        auto *f6 = child<QLabel>(window.get(), QStringLiteral("Key0"));
        QVERIFY(f6->toolTip().contains(QStringLiteral("Ctrl+F6")));
        QCOMPARE(f6->text(), QStringLiteral("F6"));
        QCOMPARE(child<QLabel>(window.get(), QStringLiteral("Key1"))->toolTip(), QString());
        QVERIFY(child<QLabel>(window.get(), QStringLiteral("Key2"))->toolTip().contains(QStringLiteral("no key")));
        QCOMPARE(child<QLabel>(window.get(), QStringLiteral("Key3"))->toolTip(), QString());

        showWindow();
        picker->answers.push_back({Outcome::Chosen, QStringLiteral("/p/six")});
        QTest::mouseClick(cmd(window.get(), FunctionKey::F6), Qt::LeftButton);
        QCOMPARE(keys.used.back(), (vantrel::platform::KeySelection{true, false, true}));
        QTest::keyClick(cmd(window.get(), FunctionKey::F8), Qt::Key_Delete);
        QCOMPARE(keys.used.back(), (vantrel::platform::KeySelection{true, false, false}));
    }

    // The dialog opens where the last choice, in any row, left it. A cancelled
    // dialog changes nothing; a failing one hands the dialog its row's path.
    void rowsShareTheDialogsFileName()
    {
        store(*registry, u"F10", u"/saved/ten");
        start();
        picker->answers = {{Outcome::Chosen, QStringLiteral("/picked/for/six")},
                           {Outcome::Cancelled, {}},
                           {Outcome::Failed, {}},
                           {Outcome::Cancelled, {}}};

        window->cmdF_Click(FunctionKey::F6);
        window->cmdF_Click(FunctionKey::F9);
        QCOMPARE(picker->asked[1].request.startName, QStringLiteral("/picked/for/six"));
        QCOMPARE(txt(window.get(), FunctionKey::F9)->text(), QString());
        QVERIFY(window->bindings().pathCopy(FunctionKey::F9).empty());

        window->cmdF_Click(FunctionKey::F10);
        QCOMPARE(picker->asked[2].request.startName, QStringLiteral("/picked/for/six"));
        QCOMPARE(txt(window.get(), FunctionKey::F10)->text(), QStringLiteral("/saved/ten"));
        QCOMPARE(window->bindings().pathCopy(FunctionKey::F10), u"/saved/ten");

        window->cmdF_Click(FunctionKey::F7);
        QCOMPARE(picker->asked[3].request.startName, QStringLiteral("/saved/ten"));
        QCOMPARE(txt(window.get(), FunctionKey::F6)->text(), QStringLiteral("/picked/for/six"));
    }

    void okSavesEveryRowAndHides()
    {
        store(*registry, u"F12", u"/old/twelve");
        start();
        showWindow();
        picker->answers.push_back({Outcome::Chosen, QStringLiteral("/new/seven")});
        window->cmdF_Click(FunctionKey::F7);
        QTest::keyClick(cmd(window.get(), FunctionKey::F12), Qt::Key_Delete);

        QTest::mouseClick(child<QPushButton>(window.get(), QStringLiteral("cmdOK")), Qt::LeftButton);

        QVERIFY(!window->isVisible());
        QCOMPARE(stored(*registry, u"F7"), u"/new/seven");
        QCOMPARE(stored(*registry, u"F12"), u"");
        QCOMPARE(stored(*registry, u"F6"), u"");
        QCOMPARE(window->bindings().pathCopy(FunctionKey::F12), u"/old/twelve");
        QCOMPARE(txt(window.get(), FunctionKey::F7)->text(), QStringLiteral("/new/seven"));
    }

    void cancelHidesAndKeepsTheRows()
    {
        store(*registry, u"F6", u"/old/six");
        start();
        showWindow();
        picker->answers.push_back({Outcome::Chosen, QStringLiteral("/new/six")});
        window->cmdF_Click(FunctionKey::F6);

        QTest::mouseClick(child<QPushButton>(window.get(), QStringLiteral("cmdCancel")), Qt::LeftButton);

        QVERIFY(!window->isVisible());
        QCOMPARE(stored(*registry, u"F6"), u"/old/six");
        QCOMPARE(window->bindings().live(FunctionKey::F6), u"/new/six");
        window->mnuConfig_Click();
        QCOMPARE(txt(window.get(), FunctionKey::F6)->text(), QStringLiteral("/new/six"));
    }

    // A store that cannot be written: the window stays open and says why.
    void failedSaveKeepsTheWindowOpenAndSaysWhy()
    {
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        const QString blocker = scratch.filePath(QStringLiteral("not-a-folder"));
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        // Every settings file would live below a plain file: no write can succeed.
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocker));
        registry = vantrel::platform::createRegistry();
        start();
        showWindow();
        picker->answers.push_back({Outcome::Chosen, QStringLiteral("/new/six")});
        window->cmdF_Click(FunctionKey::F6);

        vantrel::test::MessageBoxDriver boxes({QMessageBox::Ok});
        window->cmdOK_Click();

        QCOMPARE(boxes.seen().size(), 1);
        QCOMPARE(boxes.unexpected(), 0);
        QCOMPARE(boxes.seen().front().title, QStringLiteral("Vantrel"));
        QVERIFY2(boxes.seen().front().text.startsWith(QStringLiteral("The key settings could not be saved.")),
                 qPrintable(boxes.seen().front().text));
        QVERIFY2(boxes.seen().front().text.contains(blocker), qPrintable(boxes.seen().front().text));
        QVERIFY(window->isVisible());
        QCOMPARE(txt(window.get(), FunctionKey::F6)->text(), QStringLiteral("/new/six"));
    }

    // Neither Escape nor the window manager's close request closes the window.
    void onlyOkAndCancelLeaveTheWindow()
    {
        showWindow();
        QTest::keyClick(window.get(), Qt::Key_Escape);
        QVERIFY(window->isVisible());
        QVERIFY(!window->close());
        QVERIFY(window->isVisible());
    }

    void trayIconCarriesTheMenu()
    {
        auto *tray = window->findChild<QSystemTrayIcon *>(QStringLiteral("Trayicon1"));
        QVERIFY(tray);
        QCOMPARE(tray->toolTip(), QStringLiteral("Vantrel"));
        QVERIFY(!tray->icon().isNull());
        QCOMPARE(window->windowIcon().cacheKey(), tray->icon().cacheKey());
        QVERIFY(tray->contextMenu());
        QStringList items;
        for (const QAction *action : tray->contextMenu()->actions())
            items << (action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(items, QStringList({"&Configure", "&View Keys", "-", "E&xit"}));

        emit tray->activated(QSystemTrayIcon::Context);
        QVERIFY(!window->isVisible());
        emit tray->activated(QSystemTrayIcon::Trigger);
        QVERIFY(window->isVisible());

        window->hide();
        tray->contextMenu()->actions().first()->trigger();
        QVERIFY(window->isVisible());
    }

    // "&View Keys" and the banner call what the program plugs in, and do
    // nothing while nothing is plugged in.
    void viewKeysAndBannerOpenWhatIsPluggedIn()
    {
        showWindow();
        auto *tray = window->findChild<QSystemTrayIcon *>(QStringLiteral("Trayicon1"));
        QAction *viewKeys = tray->contextMenu()->actions().at(1);
        auto *label1 = child<QWidget>(window.get(), QStringLiteral("Label1"));
        auto *about = child<QWidget>(window.get(), QStringLiteral("imgAbout"));
        const QPoint onName = about->mapFrom(label1->parentWidget(), label1->geometry().center());

        viewKeys->trigger();
        QTest::mouseClick(about, Qt::LeftButton, {}, onName);

        int keyLists = 0;
        int abouts = 0;
        window->showKeyList = [&] { ++keyLists; };
        window->showAbout = [&] { ++abouts; };
        viewKeys->trigger();
        QTest::mouseClick(about, Qt::LeftButton, {}, onName);
        QTest::mouseClick(about, Qt::RightButton, {}, onName);
        QCOMPARE(keyLists, 1);
        QCOMPARE(abouts, 1);
    }

    // Without a tray the window comes up by itself after the grace time.
    void noTrayShowsTheWindow()
    {
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        window->showIfNoTrayWithin(std::chrono::milliseconds(20));
        QVERIFY(!window->isVisible());
        QTRY_VERIFY(window->isVisible());
    }
};

QTEST_MAIN(FrmConfigTest)
#include "frmConfig_test.moc"
