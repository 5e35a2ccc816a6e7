#pragma once

#include "platform/registry.h"

#include <memory>

namespace vantrel::test {

// A registry of the backend under test that holds nothing yet and that no
// other test sees. Each backend's test folder implements it.
std::unique_ptr<platform::Registry> makeEmptyRegistry();

} // namespace vantrel::test
