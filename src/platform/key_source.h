#pragma once

#include "platform/function_key.h"

#include <array>
#include <optional>
#include <string>

namespace vantrel::platform {

// What the key source knows of one key at the moment of a query.
struct KeyState {
    bool downNow = false;
    // Fresh presses (up-to-down changes) since the previous query of this key;
    // the keyboard's auto-repeat never counts.
    unsigned pressesSincePreviousQuery = 0;

    // The classic question: down now, or pressed since the previous query.
    bool reportsPressed() const { return downNow || pressesSincePreviousQuery > 0; }
};

// For each key, F6 first: whether it is selected.
using KeySelection = std::array<bool, kFunctionKeyCount>;

// How the owner of the key source learns that there is news: a file
// descriptor that becomes readable, a Win32 event handle that becomes
// signalled, or (where the system offers no such thing) an interval at which
// to look.
struct KeySourceWakeup {
    int fd = -1;
    int pollIntervalMs = 0;
    void *event = nullptr;
};

// System-wide observation of F6 to F12, whatever program has the focus. Most
// sources only observe the keys, and the focused program still receives
// them; where the desktop hands them over as its global shortcuts, they are
// taken from the other programs, and the desktop decides which key fires.
class KeySource {
public:
    virtual ~KeySource() = default;

    // Starts watching. On failure returns false and says why in *error.
    virtual bool start(std::string *error) = 0;

    virtual KeySourceWakeup wakeup() const = 0;

    // Takes in whatever the system has reported since the last call. Returns
    // false when the source is lost for good (for example the display is gone).
    virtual bool collect() = 0;

    // The key's state; resets its press count.
    virtual KeyState query(FunctionKey key) = 0;

    // The keys that have a file. A source that takes keys from the other
    // programs takes only these; one that merely observes ignores this.
    virtual void useKeys(const KeySelection &keys) { static_cast<void>(keys); }

    // What the desktop made of a key it hands over: the trigger assigned to
    // it now (the user may have changed F8 to "Ctrl+F8" in the desktop's
    // settings; "" when the key has no trigger at all). Absent where the key
    // is the key itself.
    virtual std::optional<std::string> desktopTrigger(FunctionKey key) const
    {
        static_cast<void>(key);
        return std::nullopt;
    }
};

} // namespace vantrel::platform
