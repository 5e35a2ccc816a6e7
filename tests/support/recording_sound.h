#pragma once

#include "platform/sound.h"

#include <string>
#include <vector>

namespace vantrel::test {

// Remembers which sounds it was asked to play, in order, and plays nothing.
class RecordingSound : public platform::Sound {
public:
    void play(const std::string &fileName) override { played.push_back(fileName); }

    std::vector<std::string> played;
};

} // namespace vantrel::test
