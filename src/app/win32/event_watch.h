#pragma once

#include <windows.h>

#include <mutex>
#include <thread>
#include <vector>

namespace vantrel::win32_app {

// Turns Win32 events becoming signalled into messages posted to a window,
// so that the keys, the requests of other copies and changed settings are
// handled by the window's message loop, also while a modal loop (the Open
// dialog, a message box, the tray menu) runs it. One message per signal:
// after handling it, rearm the event's watch to be told of the next one.
//
// One thread waits for all of them, without a timeout: the system's thread
// pool would do the same, but wakes now and then to see whether to retire
// its threads, and an idle Vantrel should not wake at all. One thread, not
// one per event, because every thread costs about a megabyte of private
// memory under Wine, however small its stack.
class EventWatchThread {
public:
    explicit EventWatchThread(HWND window);
    ~EventWatchThread();
    EventWatchThread(const EventWatchThread &) = delete;
    EventWatchThread &operator=(const EventWatchThread &) = delete;

private:
    friend class EventWatch;

    struct Watched {
        HANDLE event; // the thread's own duplicate
        UINT message;
        bool armed;
        bool forgotten;
    };

    bool watch(HANDLE event, UINT message);
    // Sets the flag of the message's event and wakes the thread to see it.
    void mark(UINT message, bool Watched::*flag);
    void rearm(UINT message);
    void forget(UINT message);
    void run();

    HWND window_;
    // Wakes the thread to wait again for what is armed now, or to end.
    HANDLE changed_;
    std::mutex lock_;
    std::vector<Watched> watched_;
    bool stopping_ = false;
    std::thread thread_;
};

// One event watched by the thread; no longer watched once destroyed. A
// message posted just before may still come.
class EventWatch {
public:
    EventWatch(EventWatchThread &thread, HANDLE event, UINT message);
    ~EventWatch();
    EventWatch(const EventWatch &) = delete;
    EventWatch &operator=(const EventWatch &) = delete;

    // False when the event could not be watched: too many events, or none.
    bool watching() const { return watching_; }
    void rearm();

private:
    EventWatchThread &thread_;
    UINT message_;
    bool watching_;
};

} // namespace vantrel::win32_app
