#pragma once

#include <windows.h>

#include <thread>

namespace vantrel::win32_app {

// Turns a Win32 event becoming signalled into a message posted to a window,
// so that the keys, the requests of other copies and changed settings are
// handled by the window's message loop, also while a modal loop (the Open
// dialog, a message box, the tray menu) runs it. One message per signal:
// after handling it, call rearm() to be told of the next one.
//
// A thread of its own waits without a timeout: the system's thread pool
// would do the same, but wakes now and then to see whether to retire its
// threads, and an idle Vantrel should not wake at all.
class EventWatch {
public:
    EventWatch(HANDLE event, HWND window, UINT message);
    ~EventWatch();
    EventWatch(const EventWatch &) = delete;
    EventWatch &operator=(const EventWatch &) = delete;

    void rearm();

private:
    void run();

    HANDLE event_;
    HWND window_;
    UINT message_;
    HANDLE rearmed_;
    HANDLE stop_;
    std::thread thread_;
};

} // namespace vantrel::win32_app
