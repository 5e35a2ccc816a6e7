#pragma once

#include "platform/sound.h"

#include <memory>
#include <string>
#include <vector>

struct ca_context;

namespace vantrel::platform::linux_backend {

// Sounds through libcanberra, which hands them to the desktop's sound server
// and plays them there, so that play() never waits.
class CanberraSound final : public Sound {
public:
    explicit CanberraSound(std::vector<std::string> dataFolders);
    ~CanberraSound() override;

    void play(const std::string &fileName) override;

private:
    struct ContextDeleter {
        void operator()(ca_context *context) const;
    };

    std::vector<std::string> dataFolders_;
    // Null where libcanberra could not be set up; then every sound is dropped.
    std::unique_ptr<ca_context, ContextDeleter> context_;
};

} // namespace vantrel::platform::linux_backend
