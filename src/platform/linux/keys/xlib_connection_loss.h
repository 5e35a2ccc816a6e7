#pragma once

#include <X11/Xlib.h>

namespace vantrel::platform::linux_backend {

// Makes the loss of one Xlib connection survivable. Xlib's fatal I/O error
// handler is one for the whole process, and both its default and Qt's (which
// ends in the default) call exit(). For the displays registered here the
// handler returns instead, so that Xlib goes on to the display's exit handler,
// onLost, and the program carries on without that connection. Other displays
// keep the handler that was there before.
void surviveConnectionLoss(Display *display, XIOErrorExitHandler onLost, void *data);

// Forgets a display, once XCloseDisplay has returned.
void forgetConnection(Display *display);

} // namespace vantrel::platform::linux_backend
