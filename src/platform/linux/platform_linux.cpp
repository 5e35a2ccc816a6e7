#include "platform/platform.h"

#include "platform/linux/open/gio_opener.h"
#include "platform/linux/settings/registry_file.h"
#include "platform/linux/keys/x11_key_source.h"

namespace vantrel::platform {

std::unique_ptr<Registry> createRegistry() { return std::make_unique<linux_backend::RegistryFile>(); }

std::unique_ptr<KeySource> createKeySource() { return std::make_unique<linux_backend::X11KeySource>(); }

std::unique_ptr<Opener> createOpener() { return std::make_unique<linux_backend::GioOpener>(); }

} // namespace vantrel::platform
