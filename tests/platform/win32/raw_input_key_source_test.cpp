// The key source under Wine on an X server of its own, the keys injected from
// outside with XTest (xdotool, a Linux program Wine starts directly) and with
// SendInput. Wine reports the X keyboard only while one of its own windows
// has the focus, so the test keeps a small window of its own focused; that
// window also shows that the keys are not taken from the focused program.
#include "platform/win32/raw_input_key_source.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <stdexcept>
#include <string>

using namespace vantrel::platform;
using vantrel::platform::windows_backend::RawInputKeySource;

namespace {

struct Observed {
    std::array<unsigned, kFunctionKeyCount> presses{};
    std::array<bool, kFunctionKeyCount> seenDown{};

    unsigned of(FunctionKey key) const { return presses[slotIndex(key)]; }
    unsigned total() const
    {
        unsigned sum = 0;
        for (unsigned count : presses)
            sum += count;
        return sum;
    }
};

// Ends every injection: the X server delivers events in order, so when the
// test window sees this key come up, every key before it has arrived.
constexpr const char *kSentinel = "Pause";

// How often the test looks at the source while keys come in.
constexpr DWORD kLookIntervalMs = 5;
bool sentinelSeen = false;

// Key downs that the keyboard's auto-repeat made (the previous-state bit set).
unsigned repeatsSeen = 0;
// F11 downs the test window was given.
unsigned keyDownsSeen = 0;

LRESULT CALLBACK testWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_KEYDOWN && (lParam & (1 << 30)) != 0)
        ++repeatsSeen;
    if (message == WM_KEYDOWN && wParam == VK_F11)
        ++keyDownsSeen;
    if (message == WM_KEYUP && wParam == VK_PAUSE)
        sentinelSeen = true;
    // F10 alone would open the window menu, whose loop keeps every later key.
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_KEYMENU)
        return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

void pumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// Runs xdotool with the given commands; until they have all arrived, keeps
// this thread's messages flowing (Wine takes in X events only then) and, at
// every interval, lets the source collect when one is given.
Observed inject(const std::string &commands, KeySource *collecting = nullptr)
{
    const char *xdotool = std::getenv("VANTREL_XDOTOOL");
    if (!xdotool)
        throw std::runtime_error("VANTREL_XDOTOOL does not name the xdotool program");
    const std::string line = std::string(xdotool) + " " + commands + " key " + kSentinel;
    std::wstring commandLine(line.begin(), line.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // Wine runs a Linux program directly, but gives no handle to wait on.
    sentinelSeen = false;
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        throw std::runtime_error("cannot start " + line);

    Observed observed;
    const auto look = [&] {
        pumpMessages();
        if (!collecting)
            return;
        collecting->collect();
        for (const auto key : kFunctionKeys) {
            const KeyState state = collecting->query(key);
            observed.presses[slotIndex(key)] += state.pressesSincePreviousQuery;
            observed.seenDown[slotIndex(key)] = observed.seenDown[slotIndex(key)] || state.downNow;
        }
    };
    const ULONGLONG deadline = GetTickCount64() + 20000;
    while (!sentinelSeen) {
        if (GetTickCount64() > deadline)
            throw std::runtime_error("the keys injected never reached the test window: " + line);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kLookIntervalMs, QS_ALLINPUT);
        look();
    }
    look();
    return observed;
}

class KeyStateTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = testWindowProcedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"VantrelKeyStateTest";
        RegisterClassW(&windowClass);
        const std::wstring title = L"vantrel key state test " + std::to_wstring(GetCurrentProcessId());
        window = CreateWindowExW(0, windowClass.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 240, 120,
                                 nullptr, nullptr, windowClass.hInstance, nullptr);
        ShowWindow(window, SW_SHOWNORMAL);
        SetForegroundWindow(window);
        // Without a window manager nobody hands the X focus to the window.
        try {
            inject("search --sync --name \"" + std::string(title.begin(), title.end()) + "\" windowfocus --sync");
        } catch (const std::exception &failure) {
            focusFailure = failure.what();
        }
    }
    static void TearDownTestSuite() { DestroyWindow(window); }

    void SetUp() override
    {
        ASSERT_TRUE(focusFailure.empty() && GetForegroundWindow() == window)
            << "the test window has no focus (" << focusFailure
            << "); Wine's desktop must run on an X display: start the wineserver and `wine cmd /c exit` "
               "with DISPLAY set";
        std::string error;
        ASSERT_TRUE(keys.start(&error)) << error;
    }

    static inline HWND window = nullptr;
    static inline std::string focusFailure;
    RawInputKeySource keys;
};

TEST_F(KeyStateTest, AHeldKeyCountsOnceAndIsSeenDown)
{
    const Observed observed = inject("keydown F6 sleep 0.15 keyup F6", &keys);
    EXPECT_EQ(observed.of(FunctionKey::F6), 1u);
    EXPECT_TRUE(observed.seenDown[slotIndex(FunctionKey::F6)]);
    EXPECT_EQ(observed.total(), 1u);
    EXPECT_FALSE(keys.query(FunctionKey::F6).downNow);
}

TEST_F(KeyStateTest, HoldingAKeyThroughTheKeyboardsAutoRepeatCountsOnce)
{
    repeatsSeen = 0;
    const Observed observed = inject("keydown F7 sleep 1.5 keyup F7", &keys);
    ASSERT_GT(repeatsSeen, 0u) << "the X server did not repeat the held key";
    EXPECT_EQ(observed.of(FunctionKey::F7), 1u);
    EXPECT_EQ(observed.total(), 1u);
}

TEST_F(KeyStateTest, EveryPressCounts)
{
    const Observed observed =
        inject("keydown F8 sleep 0.15 keyup F8 sleep 0.15 keydown F8 sleep 0.15 keyup F8 sleep 0.15 "
               "keydown F8 sleep 0.15 keyup F8",
               &keys);
    EXPECT_EQ(observed.of(FunctionKey::F8), 3u);
    EXPECT_EQ(observed.total(), 3u);
}

TEST_F(KeyStateTest, KeysTogetherAndWithModifiersCountAndNoOtherKeyDoes)
{
    const Observed observed = inject("keydown F7 sleep 0.05 keydown F9 sleep 0.15 keyup F9 keyup F7 sleep 0.1 "
                                     "keydown shift+F11 sleep 0.15 keyup shift+F11 sleep 0.1 "
                                     "keydown ctrl+F12 sleep 0.15 keyup ctrl+F12 sleep 0.1 "
                                     "keydown F5 sleep 0.15 keyup F5 keydown a sleep 0.15 keyup a",
                                     &keys);
    EXPECT_EQ(observed.of(FunctionKey::F7), 1u);
    EXPECT_EQ(observed.of(FunctionKey::F9), 1u);
    EXPECT_EQ(observed.of(FunctionKey::F11), 1u);
    EXPECT_EQ(observed.of(FunctionKey::F12), 1u);
    EXPECT_EQ(observed.total(), 4u);
}

TEST_F(KeyStateTest, APressBetweenTwoLooksStillCountsOnce)
{
    inject("keydown F10 sleep 0.15 keyup F10");
    keys.collect();
    const KeyState state = keys.query(FunctionKey::F10);
    EXPECT_EQ(state.pressesSincePreviousQuery, 1u);
    EXPECT_FALSE(state.downNow);
}

TEST_F(KeyStateTest, AKeyAlreadyDownAtTheStartIsNotAPress)
{
    inject("keydown F12 sleep 0.15");
    RawInputKeySource startedLate;
    std::string error;
    ASSERT_TRUE(startedLate.start(&error)) << error;
    const Observed observed = inject("sleep 0.1 keyup F12", &startedLate);
    EXPECT_EQ(observed.of(FunctionKey::F12), 0u);
}

// Any program may close the source's window; then the source says it has
// stopped, and a source made afresh watches the keys again.
TEST_F(KeyStateTest, ASourceWhoseWindowWasClosedSaysSoAndANewOneWorks)
{
    EXPECT_TRUE(keys.collect());
    const HWND listener = FindWindowExW(HWND_MESSAGE, nullptr, L"VantrelRawInputKeys", nullptr);
    ASSERT_NE(listener, nullptr);
    SendMessageW(listener, WM_CLOSE, 0, 0);
    for (int tries = 0; tries < 100 && keys.collect(); ++tries)
        Sleep(10);
    EXPECT_FALSE(keys.collect());

    RawInputKeySource fresh;
    std::string error;
    ASSERT_TRUE(fresh.start(&error)) << error;
    EXPECT_TRUE(fresh.collect());
    EXPECT_EQ(inject("keydown F9 sleep 0.1 keyup F9", &fresh).of(FunctionKey::F9), 1u);
}

TEST_F(KeyStateTest, APressSignalsTheWakeupAndTheFocusedWindowStillGetsTheKey)
{
    const HANDLE news = static_cast<HANDLE>(keys.wakeup().event);
    ASSERT_NE(news, nullptr);
    EXPECT_EQ(WaitForSingleObject(news, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    keyDownsSeen = 0;
    inject("keydown F11 sleep 0.05 keyup F11");
    EXPECT_EQ(WaitForSingleObject(news, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(keyDownsSeen, 1u);
    keys.collect();
    EXPECT_EQ(keys.query(FunctionKey::F11).pressesSincePreviousQuery, 1u);
}

TEST_F(KeyStateTest, KeysSentByAProgramCountLikeTypedOnes)
{
    INPUT taps[4]{};
    for (INPUT &tap : taps) {
        tap.type = INPUT_KEYBOARD;
        tap.ki.wVk = VK_F6;
    }
    taps[1].ki.dwFlags = KEYEVENTF_KEYUP;
    taps[3].ki.dwFlags = KEYEVENTF_KEYUP;
    ASSERT_EQ(SendInput(4, taps, sizeof(INPUT)), 4u);
    const Observed observed = inject("sleep 0.05", &keys);
    EXPECT_EQ(observed.of(FunctionKey::F6), 2u);
    EXPECT_EQ(observed.total(), 2u);
}

} // namespace
