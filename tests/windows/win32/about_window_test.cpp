// The about window used: its version line, the mail link, Website, OK and
// Escape, and the dialogue behind the logo with Control held, through real
// message boxes answered from a second thread.
#include "support/recording_opener.h"
#include "windows/design/about_behaviour.h"
#include "windows/design/product_texts.h"
#include "windows/win32/frmAbout.h"

#include "dialog_driver.h"
#include "window_test_support.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace {

using namespace vantrel;
using namespace design::frmAbout;
using test::windowText;

const std::wstring kDialogClass = L"#32770";

std::wstring wide(std::u16string_view text) { return {text.begin(), text.end()}; }

void click(HWND control)
{
    SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

bool holdControl(bool down)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = VK_CONTROL;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    return SendInput(1, &input, sizeof input) == 1;
}

// Wine takes the input in on its own time, and when the X server tells it
// about the keyboard (as it does once a new window has the focus), it lets
// go of every modifier the X keyboard does not hold: the press is made again
// until the key state shows it.
bool pressControlUntilItIsDown()
{
    for (int tries = 0; tries < 100; ++tries) {
        if (tries % 10 == 0 && !holdControl(true))
            return false;
        test::pumpMessages();
        Sleep(10);
        if (GetAsyncKeyState(VK_CONTROL) < 0)
            return true;
    }
    return false;
}

class AboutWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.Form_Load(test::hiddenOwner()));
        window.show();
    }

    test::RecordingOpener opener;
    int websites = 0;
    win32_windows::frmAbout window{opener, [this] { ++websites; }};
};

TEST_F(AboutWindowTest, ShowsTheVersionAndOpensTheMailLinkAndTheWebsite)
{
    EXPECT_EQ(test::textOf(window.control(Label5)), wide(design::AboutBehaviour::versionText()));
    click(window.control(Label4));
    EXPECT_EQ(opener.opened, std::vector<std::u16string>{std::u16string(design::kMailLinkScheme) +
                                                         std::u16string(design::kContactAddress)});
    SendMessageW(window.control(cmdWebsite), BM_CLICK, 0, 0);
    EXPECT_EQ(websites, 1);
    EXPECT_NE(window.window(), nullptr);
    SendMessageW(window.control(cmdOK), BM_CLICK, 0, 0);
    EXPECT_EQ(window.window(), nullptr);
}

// Through the message loop, as a user's keys come.
TEST_F(AboutWindowTest, OkHasTheFocusEnterPressesWebsiteAndEscapeCloses)
{
    ASSERT_EQ(GetFocus(), window.control(cmdOK));
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
    test::pumpMessages();
    EXPECT_EQ(websites, 1);
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    test::pumpMessages();
    EXPECT_EQ(window.window(), nullptr);
}

// A click on the logo alone says nothing; with Control held it starts the
// dialogue, where Escape answers No.
TEST_F(AboutWindowTest, TheLogoClickedWithControlHeldStartsTheHiddenDialogue)
{
    const HWND logo = window.control(imgImage);
    GetAsyncKeyState(VK_CONTROL); // forgets earlier presses
    click(logo);                  // a box now would keep this thread here
    ASSERT_NE(window.window(), nullptr);

    const std::wstring title = wide(design::kProductName);
    std::vector<std::wstring> said;
    std::thread user([&] {
        const HWND question = test::waitForWindow(kDialogClass, title);
        if (!question)
            return;
        said.push_back(windowText(GetDlgItem(question, 0xFFFF)));
        PostMessageW(GetDlgItem(question, IDYES), WM_KEYDOWN, VK_ESCAPE, 0);
        // A box that took no notice of Escape is answered, so that the test
        // goes on to fail rather than wait.
        for (int tries = 0; IsWindow(question) && tries < 100; ++tries)
            Sleep(20);
        if (IsWindow(question)) {
            said.push_back(L"<Escape left the box open>");
            SendMessageW(GetDlgItem(question, IDNO), BM_CLICK, 0, 0);
        }
        for (int tries = 0; tries < 50; ++tries) {
            const HWND answer = test::waitForWindow(kDialogClass, title, 100);
            if (answer && answer != question) {
                said.push_back(windowText(GetDlgItem(answer, 0xFFFF)));
                SendMessageW(GetDlgItem(answer, IDOK), BM_CLICK, 0, 0);
                return;
            }
        }
    });
    // No messages are taken between the key state showing Control and the
    // click, so nothing lets go of it in between.
    const bool controlDown = pressControlUntilItIsDown();
    if (controlDown)
        click(logo);
    holdControl(false);
    user.join();
    ASSERT_TRUE(controlDown) << "Control never went down";
    ASSERT_EQ(said.size(), 2u);
    EXPECT_EQ(said[0], wide(design::kHiddenQuestion));
    EXPECT_EQ(said[1], wide(design::kHiddenAnswerToNo));
}

TEST_F(AboutWindowTest, AMessageBoxIsWideEnoughForItsTitle)
{
    const std::wstring title = L"A title far longer than the one word of text in its box";
    long boxWidth = 0;
    long titleWidth = 0;
    test::DialogDriver box(kDialogClass, title, [&](HWND dialog) {
        RECT frame{};
        GetWindowRect(dialog, &frame);
        boxWidth = frame.right - frame.left;
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        const HFONT font = CreateFontIndirectW(&metrics.lfCaptionFont);
        const HDC dc = GetDC(dialog);
        const HGDIOBJ previous = SelectObject(dc, font);
        SIZE extent{};
        GetTextExtentPoint32W(dc, title.c_str(), static_cast<int>(title.size()), &extent);
        SelectObject(dc, previous);
        ReleaseDC(dialog, dc);
        DeleteObject(font);
        titleWidth = extent.cx + GetSystemMetrics(SM_CXSIZE);
        SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    });
    const std::u16string title16(title.begin(), title.end());
    EXPECT_EQ(window.showMessage({u"mah!", title16}), design::MessageAnswer::Ok);
    ASSERT_TRUE(box.join());
    EXPECT_GE(boxWidth, titleWidth);
}

} // namespace
