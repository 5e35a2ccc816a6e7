#include "platform/platform.h"

#include "platform/win32/async_key_source.h"
#include "platform/win32/shell_opener.h"
#include "platform/win32/win32_registry.h"

namespace vantrel::platform {

std::unique_ptr<Registry> createRegistry() { return std::make_unique<windows_backend::Win32Registry>(); }

std::unique_ptr<KeySource> createKeySource() { return std::make_unique<windows_backend::AsyncKeySource>(); }

std::unique_ptr<Opener> createOpener() { return std::make_unique<windows_backend::ShellOpener>(); }

// Windows has no session bus. Without one every copy runs on its own and
// nothing takes presses from `vantrel --press`, which is how the program
// behaves on any system that lacks it.
SessionBusAccess connectSessionBus() { return {nullptr, "this system has no session bus", false}; }

} // namespace vantrel::platform
