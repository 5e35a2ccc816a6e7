#include "platform/win32/shell_opener.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

using vantrel::platform::windows_backend::ShellOpener;
namespace fs = std::filesystem;

namespace {

fs::path testProgramFolder()
{
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return fs::path(path).parent_path();
}

int linesIn(const fs::path &file)
{
    std::ifstream in(file);
    int lines = 0;
    for (std::string line; std::getline(in, line);)
        ++lines;
    return lines;
}

// Sets the working directory for one test.
class WorkingDirectory {
public:
    explicit WorkingDirectory(const fs::path &folder) : previous_(fs::current_path()) { fs::current_path(folder); }
    ~WorkingDirectory() { fs::current_path(previous_); }
    WorkingDirectory(const WorkingDirectory &) = delete;
    WorkingDirectory &operator=(const WorkingDirectory &) = delete;

private:
    fs::path previous_;
};

class ShellOpenerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = fs::temp_directory_path() / ("vantrel-open-" + std::to_string(GetCurrentProcessId()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    // A copy of the probe program under the given name.
    fs::path probe(const std::u16string &name)
    {
        const fs::path copy = folder / name;
        fs::copy_file(testProgramFolder() / "open_probe.exe", copy);
        return copy;
    }

    // How often the probe ran: waits for the runs expected, then a little
    // longer for any that should not come.
    static int runsOf(const fs::path &probe, int expected)
    {
        fs::path log = probe;
        log += ".opened";
        using namespace std::chrono_literals;
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (linesIn(log) < expected && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(20ms);
        std::this_thread::sleep_for(300ms);
        return linesIn(log);
    }

    ShellOpener opener;
    fs::path folder;
};

TEST_F(ShellOpenerTest, OpensAProgramWhoseNameNoCodePageHolds)
{
    const fs::path program = probe(u"probe \U0001F525 \u65e5\u672c.exe");
    opener.open(program.u16string());
    EXPECT_EQ(runsOf(program, 1), 1);
}

TEST_F(ShellOpenerTest, TakesARelativePathFromTheWorkingDirectory)
{
    const fs::path program = probe(u"probe.exe");
    const WorkingDirectory inFolder(folder);
    opener.open(u"probe.exe");
    EXPECT_EQ(runsOf(program, 1), 1);
}

// The shell's error box of this process, once it is up; null if none came.
HWND shellErrorBox()
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    do {
        for (HWND box = nullptr; (box = FindWindowExW(nullptr, box, L"#32770", L"Error"));) {
            DWORD process = 0;
            GetWindowThreadProcessId(box, &process);
            if (process == GetCurrentProcessId() && IsWindowVisible(box))
                return box;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } while (std::chrono::steady_clock::now() < deadline);
    return nullptr;
}

TEST_F(ShellOpenerTest, OpensNothingForAnEmptyOrBadPathAndSaysSoOnStandardError)
{
    const fs::path program = probe(u"probe.exe");
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(opener.open(u""), "there is no file to open");
    // Under way: the shell finds out later, tells the user in its own box,
    // and the launch is done once the box is.
    EXPECT_EQ(opener.open((folder / u"missing.exe").u16string()), "");
    EXPECT_EQ(opener.open(program.u16string() + std::u16string(u"\0.txt", 5)), "the path holds a NUL character");
    const HWND box = shellErrorBox();
    ASSERT_NE(box, nullptr) << "the shell showed no error";
    EXPECT_FALSE(opener.finishLaunches(std::chrono::milliseconds(200)));
    PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(opener.finishLaunches(std::chrono::seconds(10)));
    const std::string said = ::testing::internal::GetCapturedStderr();

    EXPECT_EQ(runsOf(program, 0), 0);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << said;
    EXPECT_NE(said.find("missing.exe\": File not found."), std::string::npos) << said;
    EXPECT_NE(said.find("NUL"), std::string::npos) << said;
}

TEST_F(ShellOpenerTest, EveryRequestOfOneTargetRunsInTurn)
{
    const fs::path program = probe(u"probe.exe");
    for (int i = 0; i < 5; ++i)
        opener.open(program.u16string());
    EXPECT_EQ(runsOf(program, 5), 5);
}

} // namespace
