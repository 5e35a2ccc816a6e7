#pragma once

#include <sys/types.h>

namespace vantrel::platform::linux_backend {

// Waits for the programs we start, all of them on one thread of the
// process's own: a program that runs for hours holds a descriptor (its
// pidfd) until it ends, never a thread. Started on first use and kept for
// the life of the process, as the programs may outlive any object of ours.
// Where the system gives no pidfd (no descriptors left, a kernel older
// than 5.3), that one program has a thread of its own waiting for it.
void reapWhenEnded(pid_t child);

} // namespace vantrel::platform::linux_backend
