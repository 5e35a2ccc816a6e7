// The tray icon of the real program, in a real tray (trayer), driven the way
// a user would with the mouse and the keyboard.
#include "child_process.h"
#include "x_client.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

using namespace std::chrono_literals;
using vantrel::test::ChildProcess;
using vantrel::test::PointerPosition;
using vantrel::test::waitUntil;
using vantrel::test::WindowInfo;
using vantrel::test::XClient;

namespace {

bool isTrayIcon(const WindowInfo &window) { return window.xembed && window.embedded && window.viewable; }
bool isConfigWindow(const WindowInfo &window) { return window.name == "Vantrel Configuration" && window.viewable; }
bool isTip(const WindowInfo &window) { return window.hasType("_NET_WM_WINDOW_TYPE_TOOLTIP") && window.viewable; }
bool isPopup(const WindowInfo &window)
{
    return window.overrideRedirect && window.viewable && !window.embedded && !isTip(window);
}

class TrayTest : public ::testing::Test {
protected:
    // One connection for the whole suite: an X server left without clients
    // between two tests resets itself and turns new connections away meanwhile.
    static void SetUpTestSuite() { client = std::make_unique<XClient>(); }
    static void TearDownTestSuite() { client.reset(); }

    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vantrel-tray-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        configHome = pattern;
    }

    void TearDown() override
    {
        vantrel.reset();
        tray.reset();
        std::error_code ignored;
        std::filesystem::remove_all(configHome, ignored);
    }

    void startTray()
    {
        tray = std::make_unique<ChildProcess>(std::vector<std::string>{TRAYER_EXECUTABLE, "--edge", "bottom", "--align",
                                                                       "right", "--height", "24", "--widthtype",
                                                                       "request", "--transparent", "false"});
        ASSERT_TRUE(waitUntil([&] { return x.trayManager() != 0; })) << "trayer did not take the tray";
    }

    void startVantrel()
    {
        vantrel = std::make_unique<ChildProcess>(std::vector<std::string>{VANTREL_EXECUTABLE},
                                                 std::map<std::string, std::string>{{"XDG_CONFIG_HOME", configHome}});
    }

    std::optional<WindowInfo> firstWindow(const std::function<bool(const WindowInfo &)> &fits)
    {
        for (const auto &window : x.windowsOf(vantrel->pid()))
            if (fits(window))
                return window;
        return std::nullopt;
    }

    // The first of Vantrel's windows that fits, waiting up to the time for it.
    std::optional<WindowInfo> awaitWindow(const std::function<bool(const WindowInfo &)> &fits,
                                          std::chrono::milliseconds timeout = 30s)
    {
        std::optional<WindowInfo> found;
        waitUntil([&] { return (found = firstWindow(fits)).has_value(); }, timeout);
        return found;
    }

    bool shows(const std::function<bool(const WindowInfo &)> &fits) { return firstWindow(fits).has_value(); }

    // The first of Vantrel's windows that fits, with the pointer held on the
    // icon all the while: when the tray moves the icon from under it, the
    // pointer follows, as a user's hand does.
    std::optional<WindowInfo> awaitPointingAt(const WindowInfo &icon,
                                              const std::function<bool(const WindowInfo &)> &fits)
    {
        std::optional<PointerPosition> pointer;
        std::optional<WindowInfo> found;
        waitUntil([&] {
            if (!pointer || !x.hasMiddleAt(icon.id, *pointer))
                pointer = x.pointAt(icon.id);
            return (found = firstWindow(fits)).has_value();
        });
        return found;
    }

    // Right click on the icon; the menu must come up at the pointer.
    void openMenu(const WindowInfo &icon)
    {
        const auto pointer = x.pointAtUntilItStays(icon.id);
        ASSERT_TRUE(pointer) << "the icon never stayed under the pointer";
        x.click(3);
        const auto menu = awaitWindow(isPopup);
        ASSERT_TRUE(menu) << "no menu on a right click";
        EXPECT_GE(pointer->x, menu->x - 2);
        EXPECT_LE(pointer->x, menu->x + menu->width + 2);
        EXPECT_GE(pointer->y, menu->y - 2);
        EXPECT_LE(pointer->y, menu->y + menu->height + 2);
    }

    static inline std::unique_ptr<XClient> client;
    XClient &x = *client;
    std::string configHome;
    std::unique_ptr<ChildProcess> tray;
    std::unique_ptr<ChildProcess> vantrel;
};

TEST_F(TrayTest, IconWithTipAndMenuThatConfiguresAndExits)
{
    startTray();
    startVantrel();
    const auto icon = awaitWindow(isTrayIcon);
    ASSERT_TRUE(icon) << "no icon in the tray";
    EXPECT_FALSE(shows(isConfigWindow)) << "the window came up at start";

    EXPECT_TRUE(awaitPointingAt(*icon, isTip)) << "no tip over the icon";

    openMenu(*icon);
    x.typeKey("c");
    EXPECT_TRUE(awaitWindow(isConfigWindow)) << "Configure did not show the window";
    EXPECT_TRUE(waitUntil([&] { return !shows(isPopup); })) << "the menu stayed up";

    // A second right click within the double-click time would count as a
    // double click, which opens no menu.
    std::this_thread::sleep_for(1s);
    openMenu(*icon);
    x.typeKey("x");
    // A sanitizer build checks for leaks at the end, which takes seconds.
    EXPECT_EQ(vantrel->waitForExit(60s), 0) << "Exit did not end the program cleanly";
    EXPECT_TRUE(x.windowsOf(vantrel->pid()).empty());
}

// The left button shows the window, the middle one nothing; once shown, the
// window ignores the window manager's close request and Escape.
TEST_F(TrayTest, LeftClickShowsTheWindowThatStaysUntilOkOrCancel)
{
    startTray();
    startVantrel();
    const auto icon = awaitWindow(isTrayIcon);
    ASSERT_TRUE(icon) << "no icon in the tray";

    // The tip shows that the icon under the pointer takes input: a click on
    // an icon the tray is still placing would be lost.
    ASSERT_TRUE(awaitPointingAt(*icon, isTip)) << "no tip over the icon";
    x.click(2);
    std::this_thread::sleep_for(500ms);
    EXPECT_FALSE(shows(isConfigWindow));
    EXPECT_FALSE(shows(isPopup));

    x.click(1);
    const auto window = awaitWindow(isConfigWindow);
    ASSERT_TRUE(window) << "a click on the icon did not show the window";
    EXPECT_FALSE(shows(isPopup));

    x.requestClose(window->id);
    x.movePointer(window->centreX(), window->centreY());
    x.typeKey("Escape");
    std::this_thread::sleep_for(500ms);
    EXPECT_TRUE(shows(isConfigWindow)) << "the window closed";
}

// The usual case at login: the panel comes up after the program.
TEST_F(TrayTest, TrayThatComesLaterTakesTheIcon)
{
    const auto started = std::chrono::steady_clock::now();
    startVantrel();
    std::this_thread::sleep_for(1s);
    startTray();
    // The program waits 3 s for a tray, counted from later than its spawn; a
    // machine so loaded that the tray took longer than that tests the other case.
    if (std::chrono::steady_clock::now() - started > 2500ms)
        GTEST_SKIP() << "the tray came up too late to count as coming in time";
    EXPECT_TRUE(awaitWindow(isTrayIcon)) << "the icon did not move into the new tray";
    std::this_thread::sleep_for(3s);
    EXPECT_FALSE(shows(isConfigWindow)) << "the window came up although the tray did";
}

// Without a tray the user could not reach the program: the window comes up.
TEST_F(TrayTest, WithoutATrayTheWindowComesUp)
{
    startVantrel();
    EXPECT_TRUE(awaitWindow(isConfigWindow)) << "no tray and no window";
    startTray();
    EXPECT_TRUE(awaitWindow(isTrayIcon)) << "the icon did not move into the new tray";
}

} // namespace
