#pragma once

#include "platform/key_source.h"

#include <memory>

namespace vantrel::platform::windows_backend {

// F6 to F12 through Raw Input, whatever program has the focus: a
// message-only window of the source's own thread asks for the keyboard with
// RIDEV_INPUTSINK and is told of every key as it goes down and up. The keys
// are only observed, never taken: the focused program still gets them.
//
// Why not a low-level keyboard hook: a hook sits in the path of every
// keystroke of the desktop, and Windows silently removes one that is slow to
// answer (LowLevelHooksTimeout), after which no key would ever fire again.
// Raw input messages just queue until the thread takes them. Why not
// GetAsyncKeyState: it must be polled, waking the program hundreds of times
// a second, and a short tap between two looks is a guess.
//
// A press is a key going down while it was up; the keyboard's auto-repeat
// sends more "down" reports of a key already down, which never count.
class RawInputKeySource final : public KeySource {
public:
    RawInputKeySource();
    ~RawInputKeySource() override;
    RawInputKeySource(const RawInputKeySource &) = delete;
    RawInputKeySource &operator=(const RawInputKeySource &) = delete;

    bool start(std::string *error) override;
    // An auto-reset event, signalled when a key of the seven went down.
    KeySourceWakeup wakeup() const override;
    bool collect() override;
    KeyState query(FunctionKey key) override;

private:
    struct Shared;
    std::unique_ptr<Shared> shared_;
};

} // namespace vantrel::platform::windows_backend
