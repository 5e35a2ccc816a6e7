// A file bound on a network share that never answers, in the real
// vantrel.exe under Wine: its launch waits in the kernel for as long as the
// share does, and nothing else waits with it. with_hung_share.sh makes the
// share and names it in VANTREL_HUNG_SHARE.
#include "program_driver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace vantrel::test::program;

namespace {

TEST(HungShare, AFileOnAShareThatNeverAnswersHoldsUpNeitherKeysNorWindowsNorExit)
{
    const char *share = std::getenv("VANTREL_HUNG_SHARE");
    if (!share) {
        const char *why = std::getenv("VANTREL_NO_HUNG_SHARE");
        GTEST_SKIP() << (why ? why : "no share that never answers: run the test through with_hung_share.sh");
    }
    removeEverySettingsKey();
    const TestFolder folder;
    const Recorder seven(folder, L"seven.exe");
    const std::string notes = std::string(share) + "\\notes.txt";
    setString(Place::UsersKey, L"F6", std::wstring(notes.begin(), notes.end()));
    setString(Place::UsersKey, L"F7", seven.path());
    {
        RunningVantrel vantrel(folder);
        ASSERT_TRUE(vantrel.waitUntilResident()) << vantrel.diagnostics();
        const HWND resident = vantrel.residentWindow();
        const FocusedWindow inFront(folder);

        sendTaps(VK_F6, 2);
        sendTaps(VK_F7, 1);
        EXPECT_EQ(seven.runsSettled(1), 1) << "F7 waited for F6";

        const HWND config = FindWindowW(L"Morvask.Vantrel.Window", L"Vantrel Configuration");
        DWORD_PTR answer = 0;
        EXPECT_NE(SendMessageTimeoutW(config, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer), 0)
            << "the configuration window does not answer";
        // A second copy shows it.
        EXPECT_EQ(runVantrel(L"").status, 0u);
        EXPECT_TRUE(eventually([&] { return IsWindowVisible(config) != FALSE; }));
        // No error either: the share has not answered.
        EXPECT_EQ(vantrel.diagnostics().find("notes.txt"), std::string::npos) << vantrel.diagnostics();

        PostMessageW(resident, WM_CLOSE, 0, 0);
        EXPECT_TRUE(vantrel.hasEnded(5s)) << "Exit waited for the share";
    }
    removeEverySettingsKey();
}

} // namespace
