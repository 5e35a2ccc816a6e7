#include "app/win32/event_watch.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

namespace vantrel::win32_app {
namespace {

constexpr UINT kFirst = WM_APP + 1;
constexpr UINT kSecond = WM_APP + 2;

// The messages the watch thread posts, taken by a message-only window of the
// test's thread.
class EventWatchTest : public ::testing::Test {
protected:
    EventWatchTest()
    {
        window_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    }
    ~EventWatchTest() override
    {
        for (const HANDLE event : events_)
            CloseHandle(event);
        DestroyWindow(window_);
    }

    HANDLE manualEvent(const wchar_t *name = nullptr)
    {
        events_.push_back(CreateEventW(nullptr, TRUE, FALSE, name));
        return events_.back();
    }

    // What came within the time, in order.
    std::vector<UINT> messagesWithin(std::chrono::milliseconds limit)
    {
        std::vector<UINT> taken;
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < deadline) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_POSTMESSAGE);
            MSG message;
            while (PeekMessageW(&message, window_, 0, 0, PM_REMOVE))
                if (message.message >= WM_APP)
                    taken.push_back(message.message);
        }
        return taken;
    }

    static constexpr std::chrono::milliseconds kSettle{300};
    HWND window_ = nullptr;
    std::vector<HANDLE> events_;
};

// A manual-reset event stays signalled until its owner collects: one
// message for it, and the next only once the owner has rearmed its watch.
TEST_F(EventWatchTest, EachEventPostsOneMessagePerRearm)
{
    ASSERT_NE(window_, nullptr);
    EventWatchThread thread(window_);
    const HANDLE first = manualEvent();
    const HANDLE second = manualEvent();
    EventWatch firstWatch(thread, first, kFirst);
    EventWatch secondWatch(thread, second, kSecond);
    ASSERT_TRUE(firstWatch.watching());
    ASSERT_TRUE(secondWatch.watching());
    EXPECT_TRUE(messagesWithin(kSettle).empty());

    SetEvent(first);
    EXPECT_EQ(messagesWithin(kSettle), std::vector<UINT>{kFirst});
    firstWatch.rearm();
    EXPECT_EQ(messagesWithin(kSettle), std::vector<UINT>{kFirst});
    ResetEvent(first);
    firstWatch.rearm();
    SetEvent(second);
    EXPECT_EQ(messagesWithin(kSettle), std::vector<UINT>{kSecond});
}

// The thread waits for its own handle: the owner may close its own, and a
// watch gone takes its event with it.
TEST_F(EventWatchTest, WatchLivesApartFromTheOwnersHandle)
{
    ASSERT_NE(window_, nullptr);
    EventWatchThread thread(window_);
    constexpr wchar_t kName[] = L"Local\\VantrelEventWatchTest";
    const HANDLE signaller = manualEvent(kName);
    const HANDLE given = CreateEventW(nullptr, TRUE, FALSE, kName);
    ASSERT_NE(given, nullptr);
    auto watch = std::make_unique<EventWatch>(thread, given, kFirst);
    CloseHandle(given);
    SetEvent(signaller);
    EXPECT_EQ(messagesWithin(kSettle), std::vector<UINT>{kFirst});

    watch.reset();
    ResetEvent(signaller);
    SetEvent(signaller);
    EXPECT_TRUE(messagesWithin(kSettle).empty());
}

TEST_F(EventWatchTest, NoEventNoWatch)
{
    EventWatchThread thread(window_);
    const EventWatch watch(thread, nullptr, kFirst);
    EXPECT_FALSE(watch.watching());
}

} // namespace
} // namespace vantrel::win32_app
