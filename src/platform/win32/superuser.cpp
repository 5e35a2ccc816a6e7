#include "platform/superuser.h"

namespace vantrel::platform {

// Windows has no superuser in that sense: Chromium sandboxes the processes of
// an administrator, elevated or not, like anyone else's.
bool runningAsSuperuser() { return false; }

} // namespace vantrel::platform
