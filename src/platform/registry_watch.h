#pragma once

namespace vantrel::platform {

// How a registry watch wakes its owner: a file descriptor that becomes
// readable (where the system offers one), or else a Win32 event handle that
// becomes signalled.
struct RegistryWatchWakeup {
    int fd = -1;
    void *event = nullptr;
};

// Notices changes of one registry key made by any hand, so that the program
// can follow values stored by another program or by the user while it runs.
// The owner waits for the wakeup and then calls collect().
class RegistryWatch {
public:
    virtual ~RegistryWatch() = default;

    virtual RegistryWatchWakeup wakeup() const = 0;

    // Takes in what woke the owner and goes on watching. True when the key's
    // values may have changed since the previous call; a watch may say so
    // when in doubt, never the reverse.
    virtual bool collect() = 0;
};

} // namespace vantrel::platform
