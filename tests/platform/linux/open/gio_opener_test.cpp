#include "launch_probe_desktop.h"
#include "private_session_bus.h"
#include "recording_notification_server.h"

#include "platform/linux/notify/desktop_notice.h"
#include "platform/linux/open/gio_opener.h"
#include "platform/linux/open/native_path.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <thread>

using namespace vantrel;
using namespace vantrel::platform::linux_backend;
namespace fs = std::filesystem;
using Args = std::vector<std::string>;
using Notification = test::RecordingNotificationServer::Notification;
using platform::FunctionKey;

namespace {

// Shared by every test: GLib reads the XDG folders once per process.
test::ProbeDesktop &desktop()
{
    static test::ProbeDesktop instance;
    return instance;
}

// Launches on a session bus of the test's own, where a recording server
// stands in for the desktop's notification daemon, or where none runs.
class OpenerFixture : public ::testing::Test {
protected:
    explicit OpenerFixture(bool notificationService)
    {
        if (notificationService)
            notifications_.emplace();
    }

    void SetUp() override
    {
        ASSERT_FALSE(bus_.address().empty()) << "dbus-daemon did not start";
        ASSERT_TRUE(!notifications_ || notifications_->serving());
        desktop_.clearRecords();
        work_ =
            desktop_.root() / ("work-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(work_);
        fs::current_path(work_);
    }

    // Every open goes through the real opener; finishing it waits for the
    // launches under way.
    void open(const std::string &bytes) { opener_->open(fromNativePath(bytes)); }
    void openBinding(FunctionKey key, const std::string &bytes) { opener_->openBinding(key, fromNativePath(bytes)); }
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
    test::PrivateSessionBus bus_;
    std::optional<test::RecordingNotificationServer> notifications_;
    // Kept beyond the opener's end, as the launches keep it.
    std::shared_ptr<DesktopNotice> notice_ = std::make_shared<DesktopNotice>();
    std::unique_ptr<GioOpener> opener_ = std::make_unique<GioOpener>(notice_);
};

class GioOpenerTest : public OpenerFixture {
protected:
    GioOpenerTest() : OpenerFixture(true) {}
};

class GioOpenerWithoutNotificationsTest : public OpenerFixture {
protected:
    GioOpenerWithoutNotificationsTest() : OpenerFixture(false) {}
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

// Root reads every file whatever its mode; while this lives, the calling
// thread and the threads it starts read only what a file's mode allows, as
// any other user does.
class ReadingAsTheModeAllows {
public:
    ReadingAsTheModeAllows()
    {
        if (::geteuid() != 0)
            return;
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        if (::syscall(SYS_capget, &header, saved_) != 0)
            return;
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        lowered[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        lowered_ = ::syscall(SYS_capset, &header, lowered) == 0;
    }
    ~ReadingAsTheModeAllows()
    {
        if (!lowered_)
            return;
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        ::syscall(SYS_capset, &header, saved_);
    }
    ReadingAsTheModeAllows(const ReadingAsTheModeAllows &) = delete;
    ReadingAsTheModeAllows &operator=(const ReadingAsTheModeAllows &) = delete;

private:
    __user_cap_data_struct saved_[2]{};
    bool lowered_ = false;
};

// A program one may run but not read can only be a binary: it runs rather
// than going to the default application for its type.
TEST_F(GioOpenerTest, AProgramThatMayBeRunButNotReadRuns)
{
    const auto path = program("run only");
    fs::permissions(path, fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                    fs::perm_options::replace);
    {
        const ReadingAsTheModeAllows asAUser;
        const int readable = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (readable >= 0)
            ::close(readable);
        ASSERT_LT(readable, 0) << "the program is still readable";
        open(path.string());
        finishOpening();
    }
    const auto records = settledRecords(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].args, Args{path.string()});
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

// What a user meets: a file moved away, a link to nothing, a program that
// cannot start. Each failure is one notice naming the key, the path and the
// reason; a success tells nothing.
TEST_F(GioOpenerTest, EachFailedLaunchIsToldNamingTheKeyThePathAndTheReason)
{
    const auto moved = work_ / "moved away.txt";
    const auto dangling = work_ / "link to nothing.txt";
    fs::create_symlink(work_ / "the file it named.txt", dangling);
    const auto noInterpreter = work_ / "tool";
    std::ofstream(noInterpreter) << "#!/nonexistent/interpreter\n";
    fs::permissions(noInterpreter, fs::perms::owner_exec, fs::perm_options::add);
    const auto folderEntry = work_ / "folder.desktop";
    std::ofstream(folderEntry) << "[Desktop Entry]\nType=Directory\nName=x\n";
    // A binding of megabytes is shown by its start.
    const std::string huge = "/" + std::string(5'000'000, 'h');

    opener_->openBinding(FunctionKey::F6, u"");
    openBinding(FunctionKey::F6, moved.string());
    openBinding(FunctionKey::F7, dangling.string());
    openBinding(FunctionKey::F8, noInterpreter.string());
    openBinding(FunctionKey::F9, folderEntry.string());
    opener_->openBinding(FunctionKey::F10, u"bad \xD800 text");
    openBinding(FunctionKey::F11, huge);
    openBinding(FunctionKey::F12, document("fine.txt").string());
    finishOpening();

    const auto told = notifications_->waitFor(6);
    std::map<std::string, std::string> bodies;
    for (const auto &notification : told)
        bodies[notification.summary] = notification.body;
    EXPECT_EQ(bodies["F6 could not open its file"], moved.string() + ": No such file or directory");
    EXPECT_EQ(bodies["F7 could not open its file"],
              dangling.string() + ": a link to " + (work_ / "the file it named.txt").string() + ", which is not there");
    EXPECT_EQ(bodies["F8 could not open its file"],
              noInterpreter.string() + ": cannot run it: No such file or directory (a program it needs to start, "
                                       "such as its interpreter, is missing)");
    EXPECT_EQ(bodies["F9 could not open its file"].rfind(folderEntry.string() + ": ", 0), 0u);
    EXPECT_EQ(bodies["F10 could not open its file"], "bad \\uD800 text: not a valid file name");
    EXPECT_EQ(bodies["F11 could not open its file"].rfind(huge.substr(0, 200), 0), 0u);
    EXPECT_LT(bodies["F11 could not open its file"].size(), 1000u);
    EXPECT_EQ(settledRecords(1).size(), 1u) << "the good file did not open";
    EXPECT_EQ(notifications_->waitFor(7, std::chrono::milliseconds(300)).size(), 6u)
        << "a success or an empty binding was told";
    for (const auto &notification : told) {
        EXPECT_EQ(notification.appName, "Vantrel");
        EXPECT_EQ(notification.replacesId, 0u) << notification.summary;
    }
}

TEST_F(GioOpenerTest, AKeyThatFailsAgainReplacesItsNoticeAndAWindowsOpenHasItsOwn)
{
    const auto moved = work_ / "moved.txt";
    openBinding(FunctionKey::F6, moved.string());
    ASSERT_EQ(notifications_->waitFor(1).size(), 1u);
    openBinding(FunctionKey::F6, moved.string());
    ASSERT_EQ(notifications_->waitFor(2).size(), 2u);
    open(moved.string());
    finishOpening();

    const auto told = notifications_->waitFor(3);
    ASSERT_EQ(told.size(), 3u);
    EXPECT_EQ(told[1].replacesId, told[0].id) << "F6's second failure piled up beside its first";
    EXPECT_EQ(told[2].replacesId, 0u) << "an open from a window replaced F6's notice";
    EXPECT_EQ(told[2].summary, "Could not open the file");
    EXPECT_EQ(told[2].body, moved.string() + ": No such file or directory");
}

TEST_F(GioOpenerWithoutNotificationsTest, FailuresGoToStandardErrorOneLineEach)
{
    const auto missing = work_ / "missing.txt";
    ::testing::internal::CaptureStderr();
    openBinding(FunctionKey::F6, missing.string());
    opener_->open(u"bad \xD800 text");
    finishOpening();
    // The end of the notices sends what is still waiting to standard error.
    notice_.reset();
    const std::string said = ::testing::internal::GetCapturedStderr();

    EXPECT_NE(said.find("vantrel: F6 could not open its file: " + missing.string() + ": No such file or directory\n"),
              std::string::npos)
        << said;
    EXPECT_NE(said.find("vantrel: Could not open the file: bad \\uD800 text: not a valid file name\n"),
              std::string::npos)
        << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 2) << said;
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
