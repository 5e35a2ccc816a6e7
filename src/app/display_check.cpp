#include "app/display_check.h"

#include "app/startup_checks.h"
#include "platform/display.h"
#include "platform/diagnostic.h"

#include <string>

namespace vantrel {

bool displayReachable()
{
    // Another platform (offscreen, wayland) reports its own problems, and the
    // key source says that it can't watch the keys.
    if (requestedPlatforms() != QStringList{QStringLiteral("xcb")})
        return true;
    std::string why;
    if (platform::displayAvailable(&why))
        return true;
    printDiagnostic("vantrel: " + why);
    return false;
}

} // namespace vantrel
