#include "private_session_bus.h"
#include "recording_notification_server.h"

#include "platform/linux/notify/desktop_notice.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

using namespace vantrel;
using namespace vantrel::platform::linux_backend;
using Notification = test::RecordingNotificationServer::Notification;

namespace {

// Notices on a session bus of the test's own; the recording server stands in
// for the desktop's notification daemon.
class DesktopNoticeTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(bus_.address().empty()) << "dbus-daemon did not start"; }

    test::PrivateSessionBus bus_;
};

TEST_F(DesktopNoticeTest, ANoticeIsADesktopNotificationFromVantrel)
{
    test::RecordingNotificationServer server;
    ASSERT_TRUE(server.serving());
    DesktopNotice notice;
    notice.tell("F6", u"F6 could not open its file", u"/home/ana/gone.txt: No such file or directory");

    const auto got = server.waitFor(1);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].appName, "Vantrel");
    EXPECT_EQ(got[0].appIcon, "org.morvask.Vantrel");
    EXPECT_EQ(got[0].summary, "F6 could not open its file");
    EXPECT_EQ(got[0].body, "/home/ana/gone.txt: No such file or directory");
    EXPECT_EQ(got[0].replacesId, 0u);
}

TEST_F(DesktopNoticeTest, ANoticeReplacesTheOneOfItsKeyAndNoOther)
{
    test::RecordingNotificationServer server;
    ASSERT_TRUE(server.serving());
    DesktopNotice notice;
    notice.tell("F6", u"first", u"");
    ASSERT_EQ(server.waitFor(1).size(), 1u);
    notice.tell("F7", u"other key", u"");
    ASSERT_EQ(server.waitFor(2).size(), 2u);
    notice.tell("F6", u"again", u"");

    const auto got = server.waitFor(3);
    ASSERT_EQ(got.size(), 3u);
    EXPECT_EQ(got[1].replacesId, 0u) << "a notice of another key replaced F6's";
    EXPECT_NE(got[1].id, got[0].id);
    EXPECT_EQ(got[2].summary, "again");
    EXPECT_EQ(got[2].replacesId, got[0].id) << "F6's second notice piled up beside its first";
}

// While the daemon does not answer, the caller is not held up, and of a run
// of notices with one key only the latest waits to be sent.
TEST_F(DesktopNoticeTest, AHungDaemonHoldsUpNoCallerAndARunOfOneKeyIsSentOnce)
{
    test::RecordingNotificationServer server;
    ASSERT_TRUE(server.serving());
    server.hold();
    DesktopNotice notice;
    notice.tell("F6", u"first", u"");
    ASSERT_EQ(server.waitFor(1).size(), 1u);
    for (int i = 0; i < 500; ++i)
        notice.tell("F6", u"failure " + std::u16string(i < 499 ? u"early" : u"last"), u"");
    server.release();

    const auto got = server.waitFor(2);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[1].summary, "failure last");
    EXPECT_EQ(got[1].replacesId, got[0].id);
    EXPECT_EQ(server.waitFor(3, std::chrono::milliseconds(500)).size(), 2u) << "the run was sent notice by notice";
}

// The end of the program does not wait on a hung daemon, and loses nothing.
TEST_F(DesktopNoticeTest, ANoticeAHungDaemonNeverTookGoesToStandardErrorAtTheEnd)
{
    test::RecordingNotificationServer server;
    ASSERT_TRUE(server.serving());
    server.hold();
    auto notice = std::make_unique<DesktopNotice>();
    notice->tell("F12", u"stuck", u"in the daemon");
    ASSERT_EQ(server.waitFor(1).size(), 1u);
    ::testing::internal::CaptureStderr();
    notice.reset();
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "vantrel: stuck: in the daemon\n");
}

TEST_F(DesktopNoticeTest, MarkupIsEscapedOnlyForADaemonThatReadsIt)
{
    const std::u16string body = u"/home/ana/Tom & Jerry <1>.mkv: Permission denied";
    {
        test::RecordingNotificationServer plain(false);
        ASSERT_TRUE(plain.serving());
        DesktopNotice notice;
        notice.tell("F8", u"summary", body);
        const auto got = plain.waitFor(1);
        ASSERT_EQ(got.size(), 1u);
        EXPECT_EQ(got[0].body, "/home/ana/Tom & Jerry <1>.mkv: Permission denied");
    }
    test::RecordingNotificationServer markup(true);
    ASSERT_TRUE(markup.serving());
    DesktopNotice notice;
    notice.tell("F8", u"summary", body);
    const auto got = markup.waitFor(1);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].body, "/home/ana/Tom &amp; Jerry &lt;1&gt;.mkv: Permission denied");
}

// A file name that is not UTF-8 travels as escaped bytes; the bus takes
// only UTF-8, and one bad name must not lose the notice.
TEST_F(DesktopNoticeTest, TextThatIsNotUnicodeStillArrives)
{
    test::RecordingNotificationServer server;
    ASSERT_TRUE(server.serving());
    DesktopNotice notice;
    notice.tell("F9", u"summary", std::u16string(u"/tmp/caf") + char16_t(0xDCE9) + u": gone");
    const auto got = server.waitFor(1);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].body, "/tmp/caf\xEF\xBF\xBD: gone");
}

// Standard error on a pipe of the test's own for as long as it lives, so
// that a line can be waited for while the notice is still alive.
class StandardErrorPipe {
public:
    StandardErrorPipe()
    {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0)
            return;
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        ::dup2(ends[1], STDERR_FILENO);
        ::close(ends[1]);
        reading_ = ends[0];
    }
    ~StandardErrorPipe()
    {
        if (saved_ >= 0) {
            ::dup2(saved_, STDERR_FILENO);
            ::close(saved_);
        }
        if (reading_ >= 0)
            ::close(reading_);
    }

    // One line, or what came before the limit.
    std::string line(std::chrono::milliseconds limit = std::chrono::seconds(20))
    {
        std::string text;
        pollfd readable{reading_, POLLIN, 0};
        char c = 0;
        while (::poll(&readable, 1, static_cast<int>(limit.count())) == 1 && ::read(reading_, &c, 1) == 1) {
            text += c;
            if (c == '\n')
                break;
        }
        return text;
    }

private:
    int saved_ = -1;
    int reading_ = -1;
};

std::string stderrOfNotice(const std::string &key, const std::u16string &summary, const std::u16string &body)
{
    StandardErrorPipe errors;
    DesktopNotice notice;
    notice.tell(key, summary, body);
    return errors.line();
}

TEST_F(DesktopNoticeTest, WithoutANotificationServiceTheNoticeGoesToStandardError)
{
    EXPECT_EQ(stderrOfNotice("F10", u"F10 could not open its file", u"/srv/x: No such file or directory"),
              "vantrel: F10 could not open its file: /srv/x: No such file or directory\n");
}

// Restores an environment variable when it goes.
class ChangedVariable {
public:
    ChangedVariable(const char *name, const char *value) : name_(name)
    {
        if (const char *old = std::getenv(name))
            old_ = old;
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ChangedVariable()
    {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char *name_;
    std::optional<std::string> old_;
};

TEST(DesktopNoticeWithoutBus, WithoutASessionBusTheNoticeGoesToStandardError)
{
    const ChangedVariable address("DBUS_SESSION_BUS_ADDRESS", nullptr);
    const ChangedVariable runtime("XDG_RUNTIME_DIR", std::filesystem::temp_directory_path().c_str());
    EXPECT_EQ(stderrOfNotice("F11", u"summary", u"line one\nline two"), "vantrel: summary: line one line two\n");
}

} // namespace
