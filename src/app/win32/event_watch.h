#pragma once

#include <windows.h>

namespace vantrel::win32_app {

// Turns a Win32 event becoming signalled into a message posted to a window,
// so that the keys, the requests of other copies and changed settings are
// handled by the window's message loop, also while a modal loop (the Open
// dialog, a message box, the tray menu) runs it. One message per signal:
// after handling it, call rearm() to be told of the next one.
class EventWatch {
public:
    EventWatch(HANDLE event, HWND window, UINT message);
    ~EventWatch();
    EventWatch(const EventWatch &) = delete;
    EventWatch &operator=(const EventWatch &) = delete;

    // False when the system could not set up the wait.
    bool armed() const { return wait_ != nullptr; }
    void rearm();

private:
    static void CALLBACK signalled(void *context, BOOLEAN timedOut);
    void stop(bool waitForCallback);

    HANDLE event_;
    HWND window_;
    UINT message_;
    HANDLE wait_ = nullptr;
};

} // namespace vantrel::win32_app
