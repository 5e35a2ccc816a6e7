#include "app/win32/event_watch.h"

namespace vantrel::win32_app {

EventWatch::EventWatch(HANDLE event, HWND window, UINT message)
    : event_(event), window_(window), message_(message), rearmed_(CreateEventW(nullptr, FALSE, FALSE, nullptr)),
      stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)), thread_([this] { run(); })
{
}

EventWatch::~EventWatch()
{
    SetEvent(stop_);
    thread_.join();
    CloseHandle(stop_);
    CloseHandle(rearmed_);
}

void EventWatch::rearm() { SetEvent(rearmed_); }

void EventWatch::run()
{
    for (;;) {
        // A manual-reset event stays signalled until its owner collects: the
        // next look waits for the owner to say it has.
        const HANDLE signalled[] = {stop_, event_};
        if (WaitForMultipleObjects(2, signalled, FALSE, INFINITE) != WAIT_OBJECT_0 + 1)
            return;
        PostMessageW(window_, message_, 0, 0);
        const HANDLE handled[] = {stop_, rearmed_};
        if (WaitForMultipleObjects(2, handled, FALSE, INFINITE) != WAIT_OBJECT_0 + 1)
            return;
    }
}

} // namespace vantrel::win32_app
