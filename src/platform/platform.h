#pragma once

#include "platform/key_source.h"
#include "platform/opener.h"
#include "platform/registry.h"

#include <memory>

namespace vantrel::platform {

// Implemented once by each backend; the build picks the backend.
std::unique_ptr<Registry> createRegistry();
std::unique_ptr<KeySource> createKeySource();
std::unique_ptr<Opener> createOpener();

} // namespace vantrel::platform
