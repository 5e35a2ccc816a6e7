#pragma once

#include <memory>
#include <string>
#include <vector>

namespace vantrel::platform {

// Short sounds played in the background, the way a desktop plays its event
// sounds.
class Sound {
public:
    virtual ~Sound() = default;

    // Starts playing the sound file and returns at once, without waiting for
    // the sound. A name without a folder is looked up as a relative file name
    // (in the working directory) first, then in the program's data folders.
    // Where no such file exists the desktop's default event sound plays
    // instead. A sound that cannot be played at all is dropped: nothing is
    // reported, because a missing sound must never disturb the user.
    virtual void play(const std::string &fileName) = 0;
};

// Implemented by each backend; dataFolders (UTF-8) are searched in their
// order.
std::unique_ptr<Sound> createSound(std::vector<std::string> dataFolders);

} // namespace vantrel::platform
