// The website window closed by the user, as a desktop's close box does it:
// the helper ends, and its web engine with it.

#include "app/qt/website_launcher.h"
#include "process_tree.h"
#include "website_config.h"

#include "x_client.h"

#include <QCoreApplication>
#include <QTest>

#include <optional>
#include <set>
#include <string>

using vantrel::WebsiteLauncher;
using vantrel::test::descendantsOf;
using vantrel::test::isAlive;
using vantrel::test::WindowInfo;
using vantrel::test::XClient;

namespace {

// The shown top-level window of the process, if it has one yet.
std::optional<WindowInfo> windowOf(XClient &x, pid_t pid)
{
    for (const WindowInfo &window : x.windowsOf(pid))
        if (window.viewable && !window.embedded)
            return window;
    return std::nullopt;
}

bool allGone(const std::set<pid_t> &processes)
{
    for (const pid_t pid : processes)
        if (isAlive(pid))
            return false;
    return true;
}

} // namespace

class WebsiteWindowCloseTest : public QObject {
    Q_OBJECT

private slots:
    void closingTheWindowEndsTheHelper()
    {
        XClient x;
        WebsiteLauncher launcher(QStringLiteral(VANTREL_WEBSITE_HELPER));
        launcher.show();
        const auto pid = static_cast<pid_t>(launcher.helperProcessId());
        QTRY_VERIFY_WITH_TIMEOUT(windowOf(x, pid).has_value(), 30000);

        // Out of the box the window opens the home page shipped with it.
        const QString expected = *vantrel::website_config::websiteAddress
                                     ? QStringLiteral("Morvask Website - ")
                                     : QStringLiteral(u"Morvask Website - Morvak\u2122 Homepage Coming Soon...");
        QTRY_VERIFY_WITH_TIMEOUT(
            QString::fromStdString(windowOf(x, pid).value_or(WindowInfo{}).name).startsWith(expected), 30000);

        auto family = descendantsOf(pid);
        family.insert(pid);
        x.requestClose(windowOf(x, pid)->id);
        QTRY_VERIFY_WITH_TIMEOUT(!launcher.isRunning(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(allGone(family), 10000);

        // The next show opens a new window.
        launcher.show();
        QTRY_VERIFY_WITH_TIMEOUT(windowOf(x, static_cast<pid_t>(launcher.helperProcessId())).has_value(), 30000);
    }
};

QTEST_GUILESS_MAIN(WebsiteWindowCloseTest)

#include "website_window_close_test.moc"
