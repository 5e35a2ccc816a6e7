#pragma once

#include "platform/key_source.h"

#include <array>

namespace vantrel::platform::windows_backend {

// F6 to F12 through GetAsyncKeyState, which reports the keyboard whatever
// program has the focus and takes nothing away from it.
//
// Windows offers no handle for the global key state that an event loop could
// wait on: raw input and keyboard hooks both need a window procedure, and a
// low-level hook sits in the path of every keystroke of the whole desktop.
// So the owner looks every few milliseconds; seven queries cost microseconds.
// A press is an up-to-down change between two looks, or, for a tap that
// began and ended between them, the key's pressed-since-last-query bit.
class AsyncKeySource final : public KeySource {
public:
    static constexpr int kPollIntervalMs = 5;

    bool start(std::string *error) override;
    KeySourceWakeup wakeup() const override { return {-1, kPollIntervalMs}; }
    bool collect() override;
    KeyState query(FunctionKey key) override;

private:
    struct Tracked {
        bool down = false;
        unsigned presses = 0;
    };
    std::array<Tracked, kFunctionKeyCount> keys_{};
};

} // namespace vantrel::platform::windows_backend
