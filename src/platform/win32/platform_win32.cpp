#include "platform/platform.h"

#include "platform/win32/raw_input_key_source.h"
#include "platform/win32/shell_opener.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/window_message_session.h"

namespace vantrel::platform {

std::unique_ptr<Registry> createRegistry() { return std::make_unique<windows_backend::Win32Registry>(); }

std::unique_ptr<KeySource> createKeySource() { return std::make_unique<windows_backend::RawInputKeySource>(); }

std::unique_ptr<Opener> createOpener() { return std::make_unique<windows_backend::ShellOpener>(); }

SessionBusAccess connectSessionBus() { return {std::make_unique<windows_backend::WindowMessageSession>(), {}, false}; }

} // namespace vantrel::platform
