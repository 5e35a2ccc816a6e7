// What a Windows user downloads, under Wine: the installer run silently,
// what it leaves (the program, the Start-menu shortcut, the start at sign-in,
// the entry in "Installed apps") tried by what each does, an upgrade over the
// running program, the uninstaller, and the portable program from the zip.
#include "program_driver.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace vantrel::test::program;
namespace fs = std::filesystem;

namespace {

const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vantrel";
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

fs::path shellFolder(int folder)
{
    wchar_t path[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, path)))
        throw std::runtime_error("no such shell folder");
    return path;
}

std::optional<std::wstring> userString(const wchar_t *key, const wchar_t *name)
{
    wchar_t text[4096];
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(text);
}

std::optional<DWORD> userNumber(const wchar_t *key, const wchar_t *name)
{
    DWORD number = 0;
    DWORD size = sizeof number;
    if (RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &number, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return number;
}

bool userKeyExists(const wchar_t *key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

bool samePath(const fs::path &a, const fs::path &b) { return lstrcmpiW(a.c_str(), b.c_str()) == 0; }

// The programs of every running Vantrel, one entry a copy.
std::vector<fs::path> runningVantrels()
{
    std::vector<fs::path> programs;
    for (const HWND window : residentWindows())
        programs.push_back(programOf(window));
    return programs;
}

// One copy, from this file, with its tray icon: ready for keys.
bool residentFrom(const fs::path &program)
{
    const auto windows = residentWindows();
    return windows.size() == 1 && samePath(programOf(windows[0]), program) && trayIconShown(windows[0]);
}

DWORD processOf(HWND window)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner;
}

// As the system starts what a Run value or an uninstall command names.
void startCommandLine(std::wstring commandLine, bool waitForEnd = false)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        throw std::runtime_error("cannot start a command line");
    if (waitForEnd)
        WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

void endEveryVantrel()
{
    for (const HWND window : residentWindows())
        PostMessageW(window, WM_CLOSE, 0, 0);
    if (!eventually([] { return residentWindows().empty(); }))
        throw std::runtime_error("a Vantrel did not end");
}

bool tapOpens(const TestFolder &folder, WORD key, const Recorder &recorder, int runsBefore)
{
    const FocusedWindow inFront(folder);
    sendTaps(key, 1);
    return recorder.runsSettled(runsBefore + 1) == runsBefore + 1;
}

class ShippedProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        endEveryVantrel();
        removeEverySettingsKey();
    }
    void TearDown() override
    {
        endEveryVantrel();
        removeEverySettingsKey();
    }

    TestFolder folder;
};

TEST_F(ShippedProgramTest, InstalledForTheUserItStartsAtSignInUpgradesInPlaceAndLeavesOnlyTheBindings)
{
    const Recorder bound(folder, L"bound.exe");
    setString(Place::UsersKey, L"F9", bound.path());
    const fs::path setup = fromUnix(VANTREL_SETUP);
    const fs::path installed = shellFolder(CSIDL_LOCAL_APPDATA) / L"Programs" / L"Vantrel";
    const fs::path program = installed / L"vantrel.exe";
    const fs::path shortcut = shellFolder(CSIDL_PROGRAMS) / L"Vantrel.lnk";

    // Silent, with the defaults: installed, and started at the end.
    EXPECT_EQ(runProgram(setup, L"/S").status, 0u);
    ASSERT_TRUE(eventually([&] { return residentFrom(program); })) << "running: " << runningVantrels().size();
    for (const wchar_t *file : {L"License.txt", L"ReadMe.txt", L"Uninstall.exe"})
        EXPECT_TRUE(fs::exists(installed / file)) << fs::path(file);

    {
        SCOPED_TRACE("the Start-menu shortcut starts the installed program");
        endEveryVantrel();
        ASSERT_GT(reinterpret_cast<INT_PTR>(
                      ShellExecuteW(nullptr, L"open", shortcut.c_str(), nullptr, nullptr, SW_SHOWNORMAL)),
                  32);
        EXPECT_TRUE(eventually([&] { return residentFrom(program); }));
    }
    {
        SCOPED_TRACE("the start at sign-in starts it, and a bound key opens its file");
        endEveryVantrel();
        const auto atSignIn = userString(kRunKey, L"Vantrel");
        ASSERT_TRUE(atSignIn);
        startCommandLine(*atSignIn);
        ASSERT_TRUE(eventually([&] { return residentFrom(program); }));
        EXPECT_TRUE(tapOpens(folder, VK_F9, bound, 0));
    }
    {
        SCOPED_TRACE("the entry in Installed apps");
        EXPECT_EQ(userString(kUninstallKey, L"DisplayName"), L"Vantrel");
        EXPECT_EQ(userString(kUninstallKey, L"DisplayVersion"), L"" VANTREL_VERSION);
        EXPECT_EQ(userString(kUninstallKey, L"Publisher"), L"Morvask");
        const auto icon = userString(kUninstallKey, L"DisplayIcon").value_or(L"");
        const fs::path iconFile = icon.substr(0, icon.rfind(L','));
        EXPECT_TRUE(samePath(iconFile, program)) << iconFile;
        EXPECT_GT(ExtractIconExW(iconFile.c_str(), -1, nullptr, nullptr, 0), 0u);
        EXPECT_GE(userNumber(kUninstallKey, L"EstimatedSize").value_or(0), fs::file_size(program) / 1024);
        EXPECT_TRUE(userString(kUninstallKey, L"UninstallString"));
    }

    {
        SCOPED_TRACE("installed again over the running program");
        const DWORD before = processOf(residentWindows().at(0));
        EXPECT_EQ(runProgram(setup, L"/S").status, 0u);
        ASSERT_TRUE(eventually([&] { return residentFrom(program); })) << "running: " << runningVantrels().size();
        EXPECT_NE(processOf(residentWindows().at(0)), before);
        EXPECT_EQ(stringAt(Place::UsersKey, L"F9"), bound.path().wstring());
        EXPECT_TRUE(tapOpens(folder, VK_F9, bound, 1));
    }

    {
        SCOPED_TRACE("removed quietly, as Installed apps does, with the program running");
        const auto quietly = userString(kUninstallKey, L"QuietUninstallString");
        ASSERT_TRUE(quietly);
        startCommandLine(*quietly, true);
        // It goes on from a copy of itself in the temporary folder.
        EXPECT_TRUE(eventually([&] {
            return !fs::exists(installed) && !fs::exists(shortcut) && !userKeyExists(kUninstallKey) &&
                   residentWindows().empty();
        }));
        EXPECT_FALSE(userString(kRunKey, L"Vantrel"));
        EXPECT_EQ(stringAt(Place::UsersKey, L"F9"), bound.path().wstring());
    }
}

TEST_F(ShippedProgramTest, ThePortableProgramFromTheZipRunsWhereItIsUnpackedAndOpensABoundFile)
{
    runLinux(folder, "cd '" + folder.unixPath() + "' && '" VANTREL_CMAKE "' -E tar xf '" VANTREL_PORTABLE_ZIP "'");
    const fs::path unpacked = folder.path() / L"Vantrel";
    for (const wchar_t *file : {L"vantrel.exe", L"License.txt", L"ReadMe.txt"})
        EXPECT_TRUE(fs::exists(unpacked / file)) << fs::path(file);

    const Recorder bound(folder, L"bound.exe");
    setString(Place::UsersKey, L"F7", bound.path());
    startCommandLine(L"\"" + (unpacked / L"vantrel.exe").wstring() + L"\"");
    ASSERT_TRUE(eventually([&] { return residentFrom(unpacked / L"vantrel.exe"); }));
    EXPECT_TRUE(tapOpens(folder, VK_F7, bound, 0));
}

} // namespace
