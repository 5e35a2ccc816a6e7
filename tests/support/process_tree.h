#pragma once

#include <sys/types.h>

#include <set>

namespace vantrel::test {

// Every live process below pid: its children, their children and so on.
std::set<pid_t> descendantsOf(pid_t pid);

// Whether the process exists and has not yet ended (a zombie has ended).
bool isAlive(pid_t pid);

} // namespace vantrel::test
