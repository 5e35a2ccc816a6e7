#include "app/win32/event_watch.h"

namespace vantrel::win32_app {

EventWatch::EventWatch(HANDLE event, HWND window, UINT message) : event_(event), window_(window), message_(message)
{
    rearm();
}

EventWatch::~EventWatch() { stop(true); }

void CALLBACK EventWatch::signalled(void *context, BOOLEAN)
{
    const auto *watch = static_cast<const EventWatch *>(context);
    PostMessageW(watch->window_, watch->message_, 0, 0);
}

void EventWatch::stop(bool waitForCallback)
{
    if (!wait_)
        return;
    // A wait that has fired must still be unregistered to be freed.
    UnregisterWaitEx(wait_, waitForCallback ? INVALID_HANDLE_VALUE : nullptr);
    wait_ = nullptr;
}

void EventWatch::rearm()
{
    stop(false);
    // Once only: a manual-reset event stays signalled until its owner
    // collects, and would otherwise fire again and again meanwhile.
    if (!RegisterWaitForSingleObject(&wait_, event_, signalled, this, INFINITE, WT_EXECUTEONLYONCE))
        wait_ = nullptr;
}

} // namespace vantrel::win32_app
