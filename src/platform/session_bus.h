#pragma once

#include "platform/function_key.h"

#include <memory>
#include <string>
#include <vector>

namespace vantrel::platform {

// A press handed over by `vantrel --press KEY`, whose sender waits to learn
// whether it is going to open. One dropped unanswered is answered as not
// opened.
class HandedOverPress {
public:
    virtual ~HandedOverPress() = default;
    virtual FunctionKey key() const = 0;
    // The empty text: the key's file is opening; otherwise why it is not.
    virtual void answer(const std::string &refusal) = 0;
};

// What other programs of the session asked of the running Vantrel since the
// previous collect.
struct SessionRequests {
    // Presses handed over, in the order they came.
    std::vector<std::unique_ptr<HandedOverPress>> presses;
    // A second copy started and asked this one to show its configuration
    // window.
    bool showConfiguration = false;
};

// The user's session bus, on which the running Vantrel holds the name
// org.morvask.Vantrel: one copy per session, and the way in for a key press
// that the desktop runs as a command.
class SessionBus {
public:
    virtual ~SessionBus() = default;

    enum class Claim {
        Owned,         // this process holds the name and serves requests
        HeldElsewhere, // another process of the session holds it
        Failed,
    };
    // Takes the name for this process. The first of several copies started
    // at once gets it; it then serves requests on a thread of its own until
    // it is destroyed. On failure *error says why.
    virtual Claim claimName(std::string *error) = 0;

    enum class Delivery {
        Delivered,
        NoneRunning, // nobody holds the name
        Refused,     // taken, and answered that it will not be done
        NoAnswer,    // the holder did not answer in time; it may still act
        Failed,
    };
    // Requests to the process that holds the name, each waiting for its
    // answer. Unless Delivered or NoneRunning, *error says why.
    virtual Delivery press(FunctionKey key, std::string *error) = 0;
    virtual Delivery showConfiguration(std::string *error) = 0;

    // Once the name is owned: a descriptor that is readable while requests
    // wait to be collected, so that the program sleeps until one comes.
    virtual int wakeupFd() const = 0;
    // Where the system offers events rather than descriptors: a Win32 event
    // handle that becomes signalled when requests come (wakeupFd is then -1).
    virtual void *wakeupEvent() const { return nullptr; }
    virtual SessionRequests collect() = 0;
};

struct SessionBusAccess {
    std::unique_ptr<SessionBus> bus;
    // Without a bus, why; and whether the session names a bus that could not
    // be reached (rather than naming none at all).
    std::string problem;
    bool unreachable = false;
};

} // namespace vantrel::platform
