#pragma once

#include <string>

namespace vantrel::platform {

// Opens a path or address the way the desktop would with its default action:
// a program runs, a document opens in its application, a folder in the file
// manager, an address in the browser or mail program. Returns at once; a
// failure opens nothing and is only logged.
class Opener {
public:
    virtual ~Opener() = default;
    virtual void open(const std::u16string &target) = 0;
};

} // namespace vantrel::platform
