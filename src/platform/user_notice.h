#pragma once

#include <string>

namespace vantrel::platform {

// Tells the user something that went wrong while no window of ours is open,
// the way desktop programs do (a desktop notification on Linux). Returns at
// once: a notice is never worth holding up a key press or a window.
class UserNotice {
public:
    virtual ~UserNotice() = default;
    // key: notices with the same key replace one another instead of piling up
    // (a key that fails again and again shows one notice, updated).
    virtual void tell(const std::string &key, const std::u16string &summary, const std::u16string &body) = 0;
};

} // namespace vantrel::platform
