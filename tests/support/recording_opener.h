#pragma once

#include "platform/opener.h"

#include <string>
#include <vector>

namespace vantrel::test {

// Remembers what it was asked to open, in order, and opens nothing.
class RecordingOpener : public platform::Opener {
public:
    std::string open(const std::u16string &target) override
    {
        opened.push_back(target);
        return {};
    }

    std::vector<std::u16string> opened;
};

} // namespace vantrel::test
