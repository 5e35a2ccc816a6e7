#pragma once

namespace vantrel {

// Run before the application object exists: Qt aborts the process with a
// core dump when it can't reach the display of any platform it tries (X11,
// Wayland). Prints one line and returns false when none can be reached.
bool displayReachable();

} // namespace vantrel
