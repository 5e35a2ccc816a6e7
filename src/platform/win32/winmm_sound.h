#pragma once

#include "platform/sound.h"

#include <string>
#include <vector>

namespace vantrel::platform::windows_backend {

// Sounds through winmm, which plays them on a thread of its own, so that
// play() never waits.
class WinmmSound final : public Sound {
public:
    explicit WinmmSound(std::vector<std::string> dataFolders);

    void play(const std::string &fileName) override;

private:
    std::vector<std::string> dataFolders_;
};

} // namespace vantrel::platform::windows_backend
