#include "platform/linux/sound/canberra_sound.h"

#include "platform/sound_file_search.h"

#include <canberra.h>

namespace vantrel::platform::linux_backend {

namespace {

// The freedesktop sound theme's name for the desktop's plain alert sound.
constexpr const char *defaultEventSound = "bell";

} // namespace

void CanberraSound::ContextDeleter::operator()(ca_context *context) const { ca_context_destroy(context); }

CanberraSound::CanberraSound(std::vector<std::string> dataFolders) : dataFolders_(std::move(dataFolders))
{
    ca_context *context = nullptr;
    if (ca_context_create(&context) != CA_SUCCESS)
        return;
    context_.reset(context);
    ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "Vantrel", nullptr);
}

CanberraSound::~CanberraSound() = default;

void CanberraSound::play(const std::string &fileName)
{
    if (!context_)
        return;
    // The results are dropped on purpose: no sound server, no sound card or a
    // broken file must go unnoticed by the user.
    if (const auto file = findSoundFile(fileName, dataFolders_))
        ca_context_play(context_.get(), 0, CA_PROP_MEDIA_FILENAME, file->c_str(), nullptr);
    else
        ca_context_play(context_.get(), 0, CA_PROP_EVENT_ID, defaultEventSound, nullptr);
}

} // namespace vantrel::platform::linux_backend

namespace vantrel::platform {

std::unique_ptr<Sound> createSound(std::vector<std::string> dataFolders)
{
    return std::make_unique<linux_backend::CanberraSound>(std::move(dataFolders));
}

} // namespace vantrel::platform
