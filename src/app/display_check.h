#pragma once

namespace vantrel {

// Run before the application object exists: on X, Qt aborts the process with
// a core dump when it can't reach the display. Prints one line and returns
// false when the display Qt is going to use can't be reached.
bool displayReachable();

} // namespace vantrel
