// The side windows as their designs draw them: client size, each control's
// place, text, font and picture at the DPI of the run and again after a
// change of DPI; the Tab order; a fixed frame kept out of the task bar.
#include "bindings/binding_set.h"
#include "support/idle_keys.h"
#include "support/recording_opener.h"
#include "windows/win32/frmAbout.h"
#include "windows/win32/frmKeys.h"

#include "window_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>

namespace {

using namespace vantrel;
using design::ControlKind;
using win32_windows::DesignedWindow;

struct Services {
    test::IdleKeys keys;
    test::RecordingOpener opener;
    BindingSet bindings;
};

struct WindowCase {
    const char *name;
    std::function<std::unique_ptr<DesignedWindow>(Services &)> make;
};

void PrintTo(const WindowCase &windowCase, std::ostream *out) { *out << windowCase.name; }

template <class Window>
std::unique_ptr<DesignedWindow> loaded(std::unique_ptr<Window> window)
{
    EXPECT_TRUE(window->Form_Load(test::hiddenOwner()));
    window->show();
    return window;
}

std::string nameOf(const design::ControlDesign &control)
{
    return std::string(control.id.name) + (control.id.index >= 0 ? std::to_string(control.id.index) : "");
}

std::string describe(const RECT &rect)
{
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + " " + std::to_string(rect.right - rect.left) +
           "x" + std::to_string(rect.bottom - rect.top);
}

// What the window's behaviour writes over the design's caption at load.
bool textSetAtLoad(const DesignedWindow &window, const design::ControlDesign &control)
{
    return window.design().name == "frmAbout" && control.id == design::frmAbout::Label5;
}

void expectLaidOutAt(const DesignedWindow &window, int dpi)
{
    RECT client{};
    GetClientRect(window.window(), &client);
    EXPECT_EQ(client.right, test::pixels(window.design().clientSize.width, dpi));
    EXPECT_EQ(client.bottom, test::pixels(window.design().clientSize.height, dpi));
    for (const auto &control : window.design().controls) {
        SCOPED_TRACE(nameOf(control));
        const HWND made = window.control(control.id);
        ASSERT_NE(made, nullptr);
        const RECT expected = test::designedRect(window, control, dpi);
        const RECT actual = test::actualRect(window, made);
        if (control.sizedToText) {
            // Its corner stays; its size is its text's.
            EXPECT_EQ(actual.left, expected.left);
            EXPECT_EQ(actual.top, expected.top);
            EXPECT_GT(actual.right - actual.left, 0);
        } else {
            EXPECT_EQ(describe(actual), describe(expected));
        }
        if (control.kind == ControlKind::Image)
            continue; // draws no text
        LOGFONTW made_font{};
        const auto font = reinterpret_cast<HFONT>(SendMessageW(made, WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        ASSERT_NE(GetObjectW(font, sizeof made_font, &made_font), 0);
        const auto designed = window.design().fontOf(control);
        EXPECT_EQ(std::wstring(made_font.lfFaceName), std::wstring(designed.face.begin(), designed.face.end()));
        EXPECT_EQ(made_font.lfHeight, -std::lround(designed.points * dpi / 72.0));
        EXPECT_EQ(made_font.lfWeight >= FW_BOLD, designed.bold);
        EXPECT_EQ(made_font.lfUnderline != 0, designed.underline);
    }
}

class DesignConformance : public ::testing::TestWithParam<WindowCase> {
protected:
    Services services;
    std::unique_ptr<DesignedWindow> window = GetParam().make(services);
};

TEST_P(DesignConformance, IsLaidOutFromTheTwipsAtTheDpiOfTheScreen)
{
    ASSERT_EQ(static_cast<int>(GetDpiForWindow(window->window())), test::expectedDpi());
    expectLaidOutAt(*window, test::expectedDpi());
}

TEST_P(DesignConformance, ShowsTheLogoAtTheDpiOfTheScreenAndAgainWhenItChanges)
{
    if (window->design().name != "frmAbout")
        GTEST_SKIP() << "shows no logo";
    test::expectShowsTheLogo(*window, test::expectedDpi());
    const int newDpi = test::expectedDpi() == 96 ? 144 : 96;
    RECT suggested{};
    GetWindowRect(window->window(), &suggested);
    SendMessageW(window->window(), WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi), reinterpret_cast<LPARAM>(&suggested));
    test::expectShowsTheLogo(*window, newDpi);
}

TEST_P(DesignConformance, IsLaidOutAgainWhenTheDpiChanges)
{
    const int newDpi = test::expectedDpi() == 96 ? 144 : 96;
    RECT suggested{};
    GetWindowRect(window->window(), &suggested);
    OffsetRect(&suggested, 10, 20);
    SendMessageW(window->window(), WM_DPICHANGED, MAKEWPARAM(newDpi, newDpi), reinterpret_cast<LPARAM>(&suggested));
    expectLaidOutAt(*window, newDpi);
    RECT moved{};
    GetWindowRect(window->window(), &moved);
    EXPECT_EQ(moved.left, suggested.left);
    EXPECT_EQ(moved.top, suggested.top);
}

TEST_P(DesignConformance, ShowsTheDesignsTexts)
{
    const auto &caption = window->design().caption;
    EXPECT_EQ(test::textOf(window->window()), std::wstring(caption.begin(), caption.end()));
    for (const auto &control : window->design().controls) {
        if (control.caption.empty() || textSetAtLoad(*window, control))
            continue;
        SCOPED_TRACE(nameOf(control));
        EXPECT_EQ(test::textOf(window->control(control.id)),
                  std::wstring(control.caption.begin(), control.caption.end()));
    }
}

TEST_P(DesignConformance, TabVisitsTheControlsInTheDesignsOrder)
{
    std::map<int, HWND> designed;
    for (const auto &control : window->design().controls)
        if (control.tabIndex && control.takesFocus && control.enabled && !control.readOnly)
            designed.emplace(*control.tabIndex, window->control(control.id));
    std::vector<HWND> expected;
    for (const auto &[tabIndex, made] : designed)
        expected.push_back(made);
    auto order = test::tabOrder(*window);
    // The same cycle, from wherever the search began.
    ASSERT_EQ(order.size(), expected.size());
    const auto first = std::find(order.begin(), order.end(), expected.front());
    ASSERT_NE(first, order.end());
    std::rotate(order.begin(), first, order.end());
    EXPECT_EQ(order, expected);
}

TEST_P(DesignConformance, HasAFixedFrameAndNoTaskBarButton)
{
    const auto style = GetWindowLongPtrW(window->window(), GWL_STYLE);
    const auto exStyle = GetWindowLongPtrW(window->window(), GWL_EXSTYLE);
    EXPECT_EQ(GetWindow(window->window(), GW_OWNER), test::hiddenOwner());
    EXPECT_EQ(exStyle & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(style & (WS_THICKFRAME | WS_SYSMENU), 0);
}

INSTANTIATE_TEST_SUITE_P(SideWindows, DesignConformance,
                         ::testing::Values(WindowCase{"frmKeys",
                                                      [](Services &s) {
                                                          return loaded(std::make_unique<win32_windows::frmKeys>(
                                                              s.bindings, s.keys, s.opener));
                                                      }},
                                           WindowCase{"frmAbout",
                                                      [](Services &s) {
                                                          return loaded(std::make_unique<win32_windows::frmAbout>(
                                                              s.opener, [] {}));
                                                      }}),
                         [](const ::testing::TestParamInfo<WindowCase> &info) { return std::string(info.param.name); });

} // namespace
