// The website window under Wine: the system's browser control hosted and
// asked for the website, the layout following the window's size, Close;
// and, in a run where the control cannot be made (ieframe switched off),
// the window saying so.
#include "support/recording_sound.h"
#include "windows/design/website_behaviour.h"
#include "windows/win32/frmWB.h"

#include "window_test_support.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using namespace vantrel;
using namespace design::frmWB;

const std::u16string kAddress = u"http://vantrel.invalid/home/index.html";

bool browserSwitchedOff() { return std::getenv("VANTREL_TEST_NO_BROWSER") != nullptr; }

std::string describe(const RECT &rect)
{
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + " " + std::to_string(rect.right - rect.left) +
           "x" + std::to_string(rect.bottom - rect.top);
}

RECT inPixels(const design::TwipsRect &rect, int dpi)
{
    const int left = test::pixels(rect.left, dpi);
    const int top = test::pixels(rect.top, dpi);
    return {left, top, left + test::pixels(rect.width, dpi), top + test::pixels(rect.height, dpi)};
}

class WebsiteWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.Form_Load());
        window.show();
        test::pumpMessages();
    }

    test::RecordingSound sound;
    win32_windows::frmWB window{kAddress, sound};
};

TEST_F(WebsiteWindowTest, HostsTheBrowserControlAndAsksItForTheWebsite)
{
    if (browserSwitchedOff())
        GTEST_SKIP() << "the control is switched off in this run";
    ASSERT_TRUE(window.browserHosted());
    EXPECT_NE(GetWindow(window.control(WB1), GW_CHILD), nullptr) << "no window of the control in its place";
    EXPECT_EQ(window.lastAddressAskedFor(), kAddress);
    EXPECT_TRUE(GetWindowLongPtrW(window.window(), GWL_EXSTYLE) & WS_EX_APPWINDOW);
    SendMessageW(window.control(cmdClose), BM_CLICK, 0, 0);
    EXPECT_EQ(window.window(), nullptr);
}

TEST_F(WebsiteWindowTest, TheBrowserAndTheStripFollowTheWindowsSize)
{
    const int dpi = static_cast<int>(GetDpiForWindow(window.window()));
    RECT frame{};
    GetWindowRect(window.window(), &frame);
    SetWindowPos(window.window(), nullptr, 0, 0, frame.right - frame.left + 150, frame.bottom - frame.top + 90,
                 SWP_NOMOVE | SWP_NOZORDER);
    RECT client{};
    GetClientRect(window.window(), &client);
    const auto layout =
        design::WebsiteBehaviour::layoutFor({MulDiv(client.right, 1440, dpi), MulDiv(client.bottom, 1440, dpi)});
    EXPECT_EQ(describe(test::actualRect(window, window.control(WB1))), describe(inPixels(layout.browser, dpi)));
    EXPECT_EQ(describe(test::actualRect(window, window.control(picButtons))),
              describe(inPixels(layout.buttonStrip, dpi)));
    // The strip's buttons move with it.
    POINT strip{0, 0};
    MapWindowPoints(window.control(picButtons), window.window(), &strip, 1);
    const RECT close = test::actualRect(window, window.control(cmdClose));
    EXPECT_EQ(close.left, strip.x + test::pixels(design::frmWB::window().control(cmdClose).rect.left, dpi));
    EXPECT_EQ(close.top, strip.y);
}

TEST_F(WebsiteWindowTest, WithoutTheControlTheWindowSaysSo)
{
    if (!browserSwitchedOff())
        GTEST_SKIP() << "the control is there in this run";
    EXPECT_FALSE(window.browserHosted());
    const std::wstring said = test::textOf(window.control(WB1));
    EXPECT_NE(said.find(L"cannot be shown"), std::wstring::npos) << std::string(said.begin(), said.end());
    EXPECT_TRUE(window.lastAddressAskedFor().empty());
}

} // namespace
