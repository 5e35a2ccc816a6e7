#include "app/win32/event_watch.h"

namespace vantrel::win32_app {

EventWatchThread::EventWatchThread(HWND window)
    : window_(window), changed_(CreateEventW(nullptr, FALSE, FALSE, nullptr)), thread_([this] { run(); })
{
}

EventWatchThread::~EventWatchThread()
{
    {
        const std::lock_guard guard(lock_);
        stopping_ = true;
    }
    SetEvent(changed_);
    thread_.join();
    for (const Watched &watched : watched_)
        CloseHandle(watched.event);
    if (changed_)
        CloseHandle(changed_);
}

bool EventWatchThread::watch(HANDLE event, UINT message)
{
    // The thread keeps a handle of its own, so that the event's owner may
    // close its handle while the thread still waits for it.
    HANDLE own = nullptr;
    if (!changed_ || !event ||
        !DuplicateHandle(GetCurrentProcess(), event, GetCurrentProcess(), &own, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return false;
    {
        const std::lock_guard guard(lock_);
        // The wait also takes the wake-up event.
        if (watched_.size() < MAXIMUM_WAIT_OBJECTS - 1) {
            watched_.push_back({own, message, true, false});
            own = nullptr;
        }
    }
    if (own) {
        CloseHandle(own);
        return false;
    }
    SetEvent(changed_);
    return true;
}

void EventWatchThread::mark(UINT message, bool Watched::*flag)
{
    {
        const std::lock_guard guard(lock_);
        for (Watched &watched : watched_)
            if (watched.message == message)
                watched.*flag = true;
    }
    SetEvent(changed_);
}

void EventWatchThread::rearm(UINT message) { mark(message, &Watched::armed); }

// The thread closes its handle itself, when it no longer waits for it.
void EventWatchThread::forget(UINT message) { mark(message, &Watched::forgotten); }

void EventWatchThread::run()
{
    std::vector<HANDLE> waited;
    std::vector<UINT> messages;
    for (;;) {
        waited.assign(1, changed_);
        messages.assign(1, 0);
        {
            const std::lock_guard guard(lock_);
            if (stopping_)
                return;
            std::erase_if(watched_, [](const Watched &watched) {
                if (watched.forgotten)
                    CloseHandle(watched.event);
                return watched.forgotten;
            });
            // A manual-reset event stays signalled until its owner collects:
            // it is waited for again once the owner says it has.
            for (const Watched &watched : watched_)
                if (watched.armed) {
                    waited.push_back(watched.event);
                    messages.push_back(watched.message);
                }
        }
        const DWORD woken = WaitForMultipleObjects(static_cast<DWORD>(waited.size()), waited.data(), FALSE, INFINITE);
        if (woken == WAIT_OBJECT_0)
            continue;
        if (woken >= WAIT_OBJECT_0 + waited.size())
            return;
        const UINT message = messages[woken - WAIT_OBJECT_0];
        bool stillWatched = false;
        {
            const std::lock_guard guard(lock_);
            for (Watched &watched : watched_)
                if (watched.message == message && watched.armed && !watched.forgotten) {
                    watched.armed = false;
                    stillWatched = true;
                }
        }
        if (stillWatched)
            PostMessageW(window_, message, 0, 0);
    }
}

EventWatch::EventWatch(EventWatchThread &thread, HANDLE event, UINT message)
    : thread_(thread), message_(message), watching_(thread.watch(event, message))
{
}

EventWatch::~EventWatch()
{
    if (watching_)
        thread_.forget(message_);
}

void EventWatch::rearm() { thread_.rearm(message_); }

} // namespace vantrel::win32_app
