// The configuration window's keyboard, window menu and logo, made from the
// library with an empty registry of the test's own.
#include "bindings/binding_set.h"
#include "support/idle_keys.h"
#include "support/registry_test_env.h"
#include "windows/design/frmConfig_design.h"
#include "windows/win32/frmConfig.h"

#include "window_test_support.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

using namespace vantrel;
using design::frmConfig::cmdF;
using platform::FunctionKey;

class ConfigWindowKeyboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.Form_Load(test::hiddenOwner()));
        window.showWindow();
    }

    std::unique_ptr<platform::Registry> registry = test::makeEmptyRegistry();
    test::IdleKeys keys;
    BindingSet bindings;
    win32_windows::frmConfig window{bindings, *registry, keys};
};

// The path boxes hand the focus on to their Browse buttons, so Tab must
// never stop in them: it would land back on the button it came from.
TEST_F(ConfigWindowKeyboardTest, TabGoesFromEachBrowseButtonToTheNext)
{
    window.focus(cmdF(FunctionKey::F6));
    for (std::size_t next = 1; next < platform::kFunctionKeyCount; ++next) {
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
        test::pumpMessages();
        EXPECT_EQ(GetFocus(), window.control(cmdF(platform::kFunctionKeys[next]))) << "Tab number " << next;
    }
}

TEST_F(ConfigWindowKeyboardTest, TheBannerShowsTheLogoAtTheDpiOfTheScreen)
{
    test::expectShowsTheLogo(window, test::expectedDpi());
}

// The window is kept hidden from the program's start; the logo is scaled
// only as it is first shown, for the DPI the window has by then.
TEST(ConfigWindowLogoTest, ShowsTheLogoAtTheDpiTheWindowWasGivenWhileHidden)
{
    const auto registry = test::makeEmptyRegistry();
    test::IdleKeys keys;
    BindingSet bindings;
    win32_windows::frmConfig window{bindings, *registry, keys};
    ASSERT_TRUE(window.Form_Load(test::hiddenOwner()));
    const int newDpi = test::expectedDpi() == 96 ? 144 : 96;
    RECT suggested{};
    GetWindowRect(window.window(), &suggested);
    SendMessageW(window.window(), WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi), reinterpret_cast<LPARAM>(&suggested));
    window.showWindow();
    test::expectShowsTheLogo(window, newDpi);
}

TEST_F(ConfigWindowKeyboardTest, TheWindowMenuOffersNoCloseNorTheSeparatorAboveIt)
{
    const HMENU menu = GetSystemMenu(window.window(), FALSE);
    ASSERT_NE(menu, nullptr);
    const int count = GetMenuItemCount(menu);
    ASSERT_GT(count, 0);
    EXPECT_EQ(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
    for (int position = 0; position < count; ++position) {
        const bool separator = GetMenuItemID(menu, position) == 0;
        const bool endsTheMenu = position == count - 1;
        const bool nextToSeparator = position + 1 < count && GetMenuItemID(menu, position + 1) == 0;
        EXPECT_FALSE(separator && (endsTheMenu || nextToSeparator)) << "a separator left over at " << position;
    }
}

} // namespace
