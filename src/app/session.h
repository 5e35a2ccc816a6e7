#pragma once

#include "app/text_sink.h"
#include "platform/function_key.h"
#include "platform/session_bus.h"

#include <memory>
#include <optional>

namespace vantrel {

// `vantrel --press KEY`: hands one press to the Vantrel running in this
// session. Returns the exit status; a failure is one line on `err`.
int handOverPress(platform::FunctionKey key, TextSink &err);

// What start-up makes of the session: either this copy goes on, holding the
// program's name on the session bus where there is one, or another copy runs
// already and has been asked to show its configuration window.
struct SessionStart {
    std::optional<int> exitStatus;
    std::unique_ptr<platform::SessionBus> bus;
};

// One copy per session. Without a session bus the copy goes on as the only
// one it knows of; a bus that is named but can't be reached is reported in a
// line on `err`.
SessionStart joinSession(TextSink &err);

} // namespace vantrel
