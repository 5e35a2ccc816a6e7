#include "launch_probe_desktop.h"

#include "platform/linux/open/gio_opener.h"
#include "platform/linux/open/native_path.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <set>
#include <thread>

using namespace vantrel;
using namespace vantrel::platform::linux_backend;
namespace fs = std::filesystem;
using Args = std::vector<std::string>;

namespace {

// Shared by every test: GLib reads the XDG folders once per process.
test::ProbeDesktop &desktop()
{
    static test::ProbeDesktop instance;
    return instance;
}

class GioOpenerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        desktop_.clearRecords();
        work_ =
            desktop_.root() / ("work-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(work_);
        fs::current_path(work_);
    }

    // Every open goes through the real opener; finishing it waits for the
    // launches under way.
    void open(const std::string &bytes) { opener_->open(fromNativePath(bytes)); }
    void finishOpening()
    {
        EXPECT_TRUE(opener_->finishLaunches(std::chrono::seconds(30))) << "launches still under way";
        opener_.reset();
    }

    // The records once count have arrived and a moment has passed in which
    // a stray launch would have shown up.
    std::vector<test::LaunchRecord> settledRecords(std::size_t count)
    {
        desktop_.waitForRecords(count);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        return desktop_.records();
    }

    static Args handlerGot(const std::string &path) { return {test::launchProbe().string(), "handler", path}; }

    static std::multiset<Args> openings(const std::vector<test::LaunchRecord> &records)
    {
        std::multiset<Args> all;
        for (const auto &record : records)
            all.insert(record.args);
        return all;
    }

    fs::path document(const std::string &name)
    {
        const fs::path path = work_ / name;
        std::ofstream(path) << "some text\n";
        return path;
    }

    fs::path program(const std::string &name)
    {
        const fs::path path = work_ / name;
        fs::copy_file(test::launchProbe(), path);
        return path;
    }

    // Made before anything of GLib's runs in this process.
    test::ProbeDesktop &desktop_ = desktop();
    fs::path work_;
    std::unique_ptr<GioOpener> opener_ = std::make_unique<GioOpener>();
};

TEST_F(GioOpenerTest, DocumentsAndFoldersGoToTheirDefaultApplication)
{
    const auto text = document("notes.txt");
    const auto folder = work_ / "a folder";
    fs::create_directory(folder);
    open(text.string());
    open(folder.string());
    finishOpening();

    EXPECT_EQ(openings(settledRecords(2)), (std::multiset<Args>{handlerGot(text), handlerGot(folder)}));
}

// A file on a stick mounted with default options has the execute bit, yet it
// is no program: only what the kernel runs by itself runs, and nothing ever
// goes to a shell.
TEST_F(GioOpenerTest, ExecutableFilesThatAreNoProgramsGoToTheirDefaultApplication)
{
    std::vector<fs::path> files{work_ / "notes.txt", work_ / "empty", work_ / "data.bin"};
    std::ofstream(files[0]) << "touch canary-text\n";
    std::ofstream{files[1]};
    const char binary[] = "\x01\x02\x00\x7f"
                          "ELG\ntouch canary-binary\n";
    std::ofstream(files[2], std::ios::binary) << std::string(binary, sizeof binary - 1);
    std::multiset<Args> expected;
    for (const auto &file : files) {
        fs::permissions(file, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                        fs::perm_options::add);
        open(file.string());
        expected.insert(handlerGot(file));
    }
    finishOpening();
    EXPECT_EQ(openings(settledRecords(files.size())), expected);
    EXPECT_FALSE(fs::exists(work_ / "canary-text"));
    EXPECT_FALSE(fs::exists(work_ / "canary-binary"));
}

TEST_F(GioOpenerTest, EveryLaunchRunsInASessionOfItsOwn)
{
    const auto entry = work_ / "tool.desktop";
    desktop_.writeDesktopEntry(entry, "from-entry");
    open(document("notes.txt").string());
    open(entry.string());
    open("mailto:someone@example.com");
    finishOpening();
    const auto records = settledRecords(3);
    ASSERT_EQ(records.size(), 3u);
    for (const auto &record : records)
        EXPECT_EQ(record.sid, record.pid) << record.args.back();
}

TEST_F(GioOpenerTest, ALinkEntryOpensItsAddress)
{
    const auto entry = work_ / "site.desktop";
    std::ofstream(entry) << "[Desktop Entry]\nType=Link\nName=x\nURL=mailto:someone@example.com\n";
    open(entry.string());
    finishOpening();
    const auto records = settledRecords(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].args, (Args{test::launchProbe().string(), "address", "mailto:someone@example.com"}));
}

TEST_F(GioOpenerTest, RelativePathsAreTakenAgainstTheWorkingFolder)
{
    // A leading '-' must stay a name: the path reaches the handler whole.
    const auto dashed = document("-v.txt");
    // Read as text, this one would be an address with the scheme "notes".
    const auto colon = document("notes:monday.txt");
    open("-v.txt");
    open("notes:monday.txt");
    finishOpening();
    EXPECT_EQ(openings(settledRecords(2)), (std::multiset<Args>{handlerGot(dashed), handlerGot(colon)}));
}

TEST_F(GioOpenerTest, AProgramRunsAloneInASessionOfItsOwnAndIsReaped)
{
    const auto path = program("my program");
    // A descriptor the child must not inherit.
    const int leaky = ::open("/dev/null", O_RDONLY);
    ASSERT_GE(leaky, 3);
    open(path.string());
    finishOpening();
    ::close(leaky);

    const auto records = settledRecords(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].args, Args{path.string()});
    EXPECT_EQ(records[0].sid, records[0].pid);
    EXPECT_EQ(records[0].descriptors, "0 1 2");

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (test::hasZombieChild(getpid()) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(test::hasZombieChild(getpid()));
}

TEST_F(GioOpenerTest, ADesktopEntryLaunchesItsApplicationEvenWhenExecutable)
{
    const auto entry = work_ / "tool.desktop";
    desktop_.writeDesktopEntry(entry, "from-entry");
    fs::permissions(entry, fs::perms::owner_exec, fs::perm_options::add);
    open(entry.string());
    finishOpening();
    const auto records = settledRecords(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].args, (Args{test::launchProbe().string(), "from-entry"}));
}

TEST_F(GioOpenerTest, AnAddressGoesToItsSchemeHandler)
{
    open("mailto:someone@example.com?subject=a%20b");
    finishOpening();
    const auto records = settledRecords(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].args,
              (Args{test::launchProbe().string(), "address", "mailto:someone@example.com?subject=a%20b"}));
}

TEST_F(GioOpenerTest, NothingOpensForAnEmptyTargetAndFailuresSayWhyOnOneLine)
{
    const auto missing = work_ / "missing.txt";
    fs::path folderEntry = work_ / "folder.desktop";
    std::ofstream(folderEntry) << "[Desktop Entry]\nType=Directory\nName=x\n";
    // A binding of megabytes is shown by its start.
    const std::string huge = "/" + std::string(5'000'000, 'h');
    ::testing::internal::CaptureStderr();
    opener_->open(u"");
    open(missing.string());
    open(folderEntry.string());
    opener_->open(u"bad \xD800 text");
    open(huge);
    finishOpening();
    const std::string said = ::testing::internal::GetCapturedStderr();

    EXPECT_TRUE(settledRecords(0).empty());
    EXPECT_NE(said.find("vantrel: could not open " + missing.string() + ": No such file or directory\n"),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("vantrel: could not open " + folderEntry.string() + ": "), std::string::npos) << said;
    EXPECT_NE(said.find("vantrel: could not open bad \\uD800 text: not a valid file name\n"), std::string::npos)
        << said;
    EXPECT_NE(said.find("vantrel: could not open " + huge.substr(0, 200)), std::string::npos) << said.substr(0, 500);
    EXPECT_LT(said.size(), 2000u) << said.substr(0, 500);
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 4) << said.substr(0, 2000);
}

// Names a shell would act on. Each either opens exactly what it names or
// opens nothing; no shell ever sees any part of one, so no canary appears.
TEST_F(GioOpenerTest, HostilePathsOpenWhatTheyNameOrNothing)
{
    std::vector<std::pair<std::string, Args>> mustOpen;
    std::vector<std::pair<std::string, Args>> mayOpen;
    const auto openDocument = [&](const std::string &name) { mustOpen.emplace_back(name, handlerGot(document(name))); };
    openDocument("with  spaces .txt");
    openDocument("quote's \"double\".txt");
    openDocument("$(touch canary-dollar).txt");
    openDocument("`touch canary-backtick`.txt");
    openDocument("a; touch canary-semicolon; b.txt");
    openDocument("| touch canary-pipe &.txt");
    openDocument("> canary-redirect.txt");
    openDocument("two\nlines; touch canary-newline.txt");
    openDocument("-leading-dash.txt");
    openDocument("--help");
    openDocument("caf\xE9 not utf-8 \xFF.txt");
    openDocument("%20 %s %n {} \\ * ? ~.txt");

    const auto runProgram = [&](const std::string &name) { mustOpen.emplace_back(name, Args{program(name).string()}); };
    runProgram("run $(touch canary-program)");
    runProgram("-program-with-dash");
    runProgram("prog\nnewline; touch canary-program-newline");

    const fs::path folder = work_ / "folder; $(touch canary-folder)";
    fs::create_directory(folder);
    mustOpen.emplace_back(folder.filename().string(), handlerGot(folder));

    // 4,000 characters: folders of 200 below one another, then the file.
    fs::path longPath = work_;
    while (longPath.string().size() < 3780)
        longPath /= std::string(200, 'd');
    fs::create_directories(longPath);
    longPath /= std::string(4000 - longPath.string().size() - 5, 'f') + ".txt";
    std::ofstream(longPath) << "long\n";
    ASSERT_EQ(longPath.string().size(), 4000u);
    mustOpen.emplace_back(longPath.string(), handlerGot(longPath));

    const auto mayOpenPath = [&](const std::string &name) {
        mayOpen.emplace_back(name, handlerGot((work_ / name).string()));
    };
    fs::create_symlink(work_ / "nowhere $(touch canary-link-target)", work_ / "dangling $(touch canary-link).txt");
    mayOpenPath("dangling $(touch canary-link).txt");
    ASSERT_EQ(mkfifo((work_ / "fifo `touch canary-fifo`.txt").c_str(), 0600), 0);
    mayOpenPath("fifo `touch canary-fifo`.txt");
    document("secret $(touch canary-secret).txt");
    fs::permissions(work_ / "secret $(touch canary-secret).txt", fs::perms::none);
    mayOpenPath("secret $(touch canary-secret).txt");
    // One name longer than any file system allows.
    mayOpenPath(std::string(4000, 'n'));

    ::testing::internal::CaptureStderr();
    for (const auto &[name, args] : mustOpen)
        open(name);
    for (const auto &[name, args] : mayOpen)
        open(name);
    finishOpening();
    ::testing::internal::GetCapturedStderr();

    const auto records = settledRecords(mustOpen.size());
    std::vector<Args> got;
    for (const auto &record : records)
        got.push_back(record.args);
    for (const auto &[name, args] : mustOpen)
        EXPECT_EQ(std::count(got.begin(), got.end(), args), 1) << "opening " << printableName(name);
    for (const auto &[name, args] : mayOpen)
        EXPECT_LE(std::count(got.begin(), got.end(), args), 1) << "opening " << printableName(name);
    EXPECT_LE(got.size(), mustOpen.size() + mayOpen.size());
    for (const auto &args : got) {
        const auto matches = [&](const auto &entry) { return entry.second == args; };
        EXPECT_TRUE(std::any_of(mustOpen.begin(), mustOpen.end(), matches) ||
                    std::any_of(mayOpen.begin(), mayOpen.end(), matches))
            << "opened something not named: " << printableName(args.back());
    }

    for (const auto &entry : fs::recursive_directory_iterator(desktop_.root()))
        EXPECT_NE(entry.path().filename().string().rfind("canary", 0), 0u) << "a shell ran: " << entry.path();
}

} // namespace
