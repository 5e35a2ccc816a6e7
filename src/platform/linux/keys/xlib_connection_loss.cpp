#include "platform/linux/keys/xlib_connection_loss.h"

#include <algorithm>
#include <mutex>
#include <vector>

namespace vantrel::platform::linux_backend {

namespace {

std::mutex registeredLock;
std::vector<Display *> registered;
XIOErrorHandler previousHandler = nullptr;

bool isRegistered(Display *display)
{
    const std::lock_guard lock(registeredLock);
    return std::find(registered.begin(), registered.end(), display) != registered.end();
}

int onFatalIoError(Display *display)
{
    if (isRegistered(display))
        return 0;
    return previousHandler ? previousHandler(display) : 0;
}

} // namespace

void surviveConnectionLoss(Display *display, XIOErrorExitHandler onLost, void *data)
{
    {
        const std::lock_guard lock(registeredLock);
        registered.push_back(display);
    }
    // Installed once, on top of whatever the process had (Qt sets its own when
    // it connects, which comes first in the program).
    static const bool installed = [] {
        previousHandler = XSetIOErrorHandler(onFatalIoError);
        return true;
    }();
    (void)installed;
    XSetIOErrorExitHandler(display, onLost, data);
}

void forgetConnection(Display *display)
{
    const std::lock_guard lock(registeredLock);
    registered.erase(std::remove(registered.begin(), registered.end(), display), registered.end());
}

} // namespace vantrel::platform::linux_backend
