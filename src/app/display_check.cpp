#include "app/display_check.h"

#include "app/startup_checks.h"
#include "platform/display.h"

#include <cstdio>
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
    std::fprintf(stderr, "vantrel: %s\n", why.c_str());
    return false;
}

} // namespace vantrel
