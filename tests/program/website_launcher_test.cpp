#include "app/qt/website_launcher.h"
#include "process_tree.h"

#include <QCoreApplication>
#include <QTest>

#include <csignal>
#include <set>
#include <unistd.h>

using vantrel::WebsiteLauncher;
using vantrel::test::descendantsOf;
using vantrel::test::isAlive;

namespace {

constexpr int startTimeoutMs = 30000;
const QString helper = QStringLiteral(VANTREL_WEBSITE_HELPER);

// The helper and the engine processes below it, once the engine runs: by
// then the window is up and loading its page.
std::set<pid_t> runningFamily(const WebsiteLauncher &launcher)
{
    const auto pid = static_cast<pid_t>(launcher.helperProcessId());
    std::set<pid_t> family;
    if (pid > 0 && isAlive(pid))
        family = descendantsOf(pid);
    if (!family.empty())
        family.insert(pid);
    return family;
}

bool allGone(const std::set<pid_t> &processes)
{
    for (const pid_t pid : processes)
        if (isAlive(pid))
            return false;
    return true;
}

int helpersRunning()
{
    int count = 0;
    for (const pid_t pid : descendantsOf(getpid())) {
        char exe[4096] = {};
        const auto path = "/proc/" + std::to_string(pid) + "/exe";
        if (readlink(path.c_str(), exe, sizeof exe - 1) > 0 && QString::fromLocal8Bit(exe) == helper)
            ++count;
    }
    return count;
}

} // namespace

class WebsiteLauncherTest : public QObject {
    Q_OBJECT

private slots:
    void secondShowRaisesTheOpenWindow()
    {
        WebsiteLauncher launcher(helper);
        launcher.show();
        QTRY_VERIFY_WITH_TIMEOUT(!runningFamily(launcher).empty(), startTimeoutMs);
        const qint64 first = launcher.helperProcessId();

        launcher.show();
        launcher.show();
        QTest::qWait(500);
        QVERIFY(launcher.isRunning());
        QCOMPARE(launcher.helperProcessId(), first);
        QCOMPARE(helpersRunning(), 1);
    }

    void closeEndsTheHelperAndItsEngine()
    {
        WebsiteLauncher launcher(helper);
        launcher.show();
        QTRY_VERIFY_WITH_TIMEOUT(!runningFamily(launcher).empty(), startTimeoutMs);
        const auto family = runningFamily(launcher);

        launcher.close();
        QVERIFY(!launcher.isRunning());
        QTRY_VERIFY(allGone(family));
        QCOMPARE(helpersRunning(), 0);

        // Reopening starts afresh.
        launcher.show();
        QTRY_VERIFY_WITH_TIMEOUT(!runningFamily(launcher).empty(), startTimeoutMs);
    }

    void destructionEndsTheHelper()
    {
        std::set<pid_t> family;
        {
            WebsiteLauncher launcher(helper);
            launcher.show();
            QTRY_VERIFY_WITH_TIMEOUT(!runningFamily(launcher).empty(), startTimeoutMs);
            family = runningFamily(launcher);
        }
        QTRY_VERIFY(allGone(family));
    }

    void killedHelperIsReplacedByTheNextShow()
    {
        WebsiteLauncher launcher(helper);
        launcher.show();
        QTRY_VERIFY_WITH_TIMEOUT(!runningFamily(launcher).empty(), startTimeoutMs);
        const auto family = runningFamily(launcher);
        const qint64 killed = launcher.helperProcessId();

        QCOMPARE(kill(static_cast<pid_t>(killed), SIGKILL), 0);
        QTRY_VERIFY(!launcher.isRunning());
        // The engine does not outlive its helper.
        QTRY_VERIFY_WITH_TIMEOUT(allGone(family), 10000);

        launcher.show();
        QTRY_VERIFY_WITH_TIMEOUT(!runningFamily(launcher).empty(), startTimeoutMs);
        QVERIFY(launcher.helperProcessId() != killed);
        QCOMPARE(helpersRunning(), 1);
    }

    void missingHelperOpensNothing()
    {
        WebsiteLauncher launcher(QStringLiteral("/nonexistent/vantrel-website"));
        launcher.show();
        QTRY_VERIFY(!launcher.isRunning());
        launcher.close();
    }
};

QTEST_GUILESS_MAIN(WebsiteLauncherTest)

#include "website_launcher_test.moc"
