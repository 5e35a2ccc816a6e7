#include "support/registry_test_env.h"

#include "platform/platform.h"
#include "raw_registry.h"

#include <optional>

namespace vantrel::test {

namespace {
// HKEY_LOCAL_MACHINE stands for a key of this test's own: the backend runs
// its real Win32 calls on a store that holds nothing yet and that tests
// running beside it in other processes never see.
std::optional<raw_registry::PrivateMachineRoot> machineRoot;
} // namespace

std::unique_ptr<platform::Registry> makeEmptyRegistry()
{
    machineRoot.reset();
    machineRoot.emplace();
    return platform::createRegistry();
}

} // namespace vantrel::test
