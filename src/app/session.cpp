#include "app/session.h"

#include "platform/platform.h"

#include <string>

namespace vantrel {

namespace {

using platform::SessionBus;

// The copy holding the name may end between our finding the name taken and
// asking it to show its window; the name is then free to take. A name that
// keeps changing hands that often is something else.
constexpr int kAttempts = 5;

constexpr char kWithoutBus[] = "a second copy can't find this one, nor can vantrel --press reach it";

} // namespace

int handOverPress(platform::FunctionKey key, TextSink &err)
{
    const std::string label(platform::keyLabel(key));
    const auto access = platform::connectSessionBus();
    if (!access.bus) {
        err.write("vantrel: cannot hand " + label + " over: " + access.problem + "\n");
        return 1;
    }
    std::string error;
    switch (access.bus->press(key, &error)) {
    case SessionBus::Delivery::Delivered:
        return 0;
    case SessionBus::Delivery::NoneRunning:
        err.write("vantrel: no Vantrel is running in this session to take " + label + "\n");
        return 1;
    case SessionBus::Delivery::Refused:
        err.write("vantrel: " + error + "\n");
        return 1;
    case SessionBus::Delivery::NoAnswer:
        err.write("vantrel: the running Vantrel did not answer in time (" + error + "); it may still open " + label +
                  " when it wakes up\n");
        return 1;
    case SessionBus::Delivery::Failed:
        break;
    }
    err.write("vantrel: cannot hand " + label + " over: " + error + "\n");
    return 1;
}

SessionStart joinSession(TextSink &err)
{
    auto access = platform::connectSessionBus();
    if (!access.bus) {
        if (access.unreachable)
            err.write("vantrel: " + access.problem + "; " + kWithoutBus + "\n");
        return {};
    }
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string error;
        switch (access.bus->claimName(&error)) {
        case SessionBus::Claim::Owned:
            return {std::nullopt, std::move(access.bus)};
        case SessionBus::Claim::Failed:
            err.write("vantrel: " + error + "; " + kWithoutBus + "\n");
            return {};
        case SessionBus::Claim::HeldElsewhere:
            break;
        }
        switch (access.bus->showConfiguration(&error)) {
        case SessionBus::Delivery::Delivered:
            return {0, nullptr};
        case SessionBus::Delivery::NoneRunning:
            continue;
        case SessionBus::Delivery::Refused:
        case SessionBus::Delivery::NoAnswer:
        case SessionBus::Delivery::Failed:
            err.write("vantrel: another Vantrel runs in this session but did not answer: " + error + "\n");
            return {1, nullptr};
        }
    }
    err.write("vantrel: the name of the running Vantrel keeps changing hands on the session bus; not starting\n");
    return {1, nullptr};
}

} // namespace vantrel
