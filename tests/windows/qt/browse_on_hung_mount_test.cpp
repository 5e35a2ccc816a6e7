// "Browse" when the last file chosen lies on a mount that hangs: the real
// Open dialog, with the real look at the file's place.
#include "hung_file_system.h"
#include "support/idle_keys.h"
#include "support/recording_opener.h"

#include "support/registry_test_env.h"
#include "windows/qt/fonts.h"
#include "windows/qt/frmConfig.h"

#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>

using vantrel::platform::FunctionKey;

namespace {

// The first Browse is answered without a dialog with the file on the mount;
// every later one comes up as the desktop's real Open dialog.
class FirstChoiceThenRealDialog : public vantrel::FilePicker {
public:
    explicit FirstChoiceThenRealDialog(QString firstChoice) : firstChoice_(std::move(firstChoice)) {}

    Result pickFileToOpen(QWidget *owner, const Request &request) override
    {
        if (!firstChoice_.isEmpty())
            return {Outcome::Chosen, std::exchange(firstChoice_, QString())};
        return real_.pickFileToOpen(owner, request);
    }

private:
    QString firstChoice_;
    vantrel::FileDialogPicker real_;
};

// Ends the test run when a step freezes the interface thread for good, which
// no timer of Qt's could notice; the hung mount is released first, since a
// process cannot end while a thread of it is stuck there.
class FreezeGuard {
public:
    FreezeGuard(std::chrono::seconds limit, const vantrel::test::HungFileSystem &hung)
        : thread_([this, limit, &hung] {
              const auto end = std::chrono::steady_clock::now() + limit;
              while (!done_ && std::chrono::steady_clock::now() < end)
                  std::this_thread::sleep_for(std::chrono::milliseconds(50));
              if (!done_) {
                  std::fputs("FAIL: the interface thread froze\n", stderr);
                  hung.release();
                  std::_Exit(1);
              }
          })
    {
    }
    ~FreezeGuard()
    {
        done_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> done_{false};
    std::thread thread_;
};

} // namespace

class BrowseOnHungMountTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { vantrel::installFontSubstitutions(); }

    // The dialog comes up at once in the home folder; meanwhile the
    // program's events went on.
    void dialogOpensAtHomeWithoutFreezing()
    {
        if (!vantrel::test::HungFileSystem::possible())
            QSKIP("mounting a FUSE file system needs root and /dev/fuse");
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        const QString mountPoint = scratch.filePath(QStringLiteral("gone"));
        vantrel::test::HungFileSystem hung(mountPoint.toStdString());
        if (!hung.mounted())
            QSKIP("no FUSE file system could be mounted (python3-fusepy)");

        const auto registry = vantrel::test::makeEmptyRegistry();
        vantrel::test::IdleKeys keys;
        vantrel::test::RecordingOpener opener;
        vantrel::frmConfig window({*registry, keys, opener}, std::make_unique<FirstChoiceThenRealDialog>(
                                                                 mountPoint + QStringLiteral("/notes.txt")));
        window.Form_Load();
        window.mnuConfig_Click();
        window.cmdF_Click(FunctionKey::F6);
        QCOMPARE(window.bindings().live(FunctionKey::F6), (mountPoint + QStringLiteral("/notes.txt")).toStdU16String());

        bool eventsWentOn = false;
        QTimer::singleShot(50, &window, [&] { eventsWentOn = true; });
        QString openedIn;
        bool eventsBeforeTheDialog = false;
        QTimer answer;
        connect(&answer, &QTimer::timeout, &window, [&] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            openedIn = dialog->directory().absolutePath();
            eventsBeforeTheDialog = eventsWentOn;
            dialog->reject();
        });
        answer.start(20);

        QElapsedTimer took;
        took.start();
        {
            FreezeGuard guard(std::chrono::seconds(20), hung);
            window.cmdF_Click(FunctionKey::F7);
        }
        QCOMPARE(openedIn, QDir::homePath());
        QVERIFY(eventsBeforeTheDialog);
        QVERIFY2(took.elapsed() < 10000, qPrintable(QString::number(took.elapsed())));
        QCOMPARE(window.bindings().live(FunctionKey::F7), std::u16string());
    }
};

QTEST_MAIN(BrowseOnHungMountTest)
#include "browse_on_hung_mount_test.moc"
