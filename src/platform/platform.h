#pragma once

#include "platform/key_source.h"
#include "platform/opener.h"
#include "platform/registry.h"
#include "platform/session_bus.h"
#include "platform/user_notice.h"

#include <memory>

namespace vantrel::platform {

// Implemented once by each backend; the build picks the backend.
std::unique_ptr<Registry> createRegistry();
std::unique_ptr<KeySource> createKeySource();
std::unique_ptr<Opener> createOpener();
// How the user is told of what went wrong while no window is open: one for
// the whole process, shared by whoever holds it.
std::shared_ptr<UserNotice> sharedUserNotice();
// Connects to this user's session bus, where the system has one.
SessionBusAccess connectSessionBus();

} // namespace vantrel::platform
