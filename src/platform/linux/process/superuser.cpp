#include "platform/superuser.h"

#include <unistd.h>

namespace vantrel::platform {

bool runningAsSuperuser() { return geteuid() == 0; }

} // namespace vantrel::platform
