#pragma once

#include "platform/function_key.h"

#include <string>

namespace vantrel::platform {

// Opens a path or address the way the desktop would with its default action:
// a program runs, a document opens in its application, a folder in the file
// manager, an address in the browser or mail program. Returns at once; a
// failure opens nothing and is told the way the platform tells it.
class Opener {
public:
    virtual ~Opener() = default;
    // Why nothing is going to open, where that is known at once (the request
    // was refused, or failed before it could start); the empty text when the
    // open is under way or done. Later failures are told as well.
    virtual std::string open(const std::u16string &target) = 0;

    // The same for what key is bound to, so that a failure can name the key.
    // A backend whose shell reports failures itself needs no more than open().
    virtual std::string openBinding(FunctionKey key, const std::u16string &target)
    {
        static_cast<void>(key);
        return open(target);
    }
};

} // namespace vantrel::platform
