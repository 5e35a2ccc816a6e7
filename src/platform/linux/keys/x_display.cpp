#include "platform/linux/keys/x_display.h"

#include <X11/Xlib.h>

namespace vantrel::platform {

namespace linux_backend {

std::string displayOpenFailure()
{
    const std::string name = XDisplayName(nullptr);
    return name.empty() ? "no X display (DISPLAY is not set)" : "cannot open the X display \"" + name + "\"";
}

bool xDisplayAvailable(std::string *why)
{
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        *why = displayOpenFailure();
        return false;
    }
    XCloseDisplay(display);
    return true;
}

} // namespace linux_backend

} // namespace vantrel::platform
