#pragma once

namespace vantrel::platform {

// Whether the process runs as the system's superuser, for whom Chromium
// refuses to start its sandbox.
bool runningAsSuperuser();

} // namespace vantrel::platform
