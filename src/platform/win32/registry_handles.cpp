#include "platform/win32/registry_handles.h"

namespace vantrel::platform::windows_backend {

namespace {

// Numbers handed out run from 1 up to just below the predefined roots.
constexpr RegHandle kFirstHandle = 1;
constexpr RegHandle kLastHandle = 0x7fffffffu;

} // namespace

RegistryHandles::~RegistryHandles()
{
    for (const auto &[handle, key] : open_)
        native::closeKey(key.native);
}

bool RegistryHandles::isPredefinedRoot(RegHandle handle) { return findPredefinedRoot(handle) != nullptr; }

std::optional<RegistryHandles::Key> RegistryHandles::find(RegHandle handle) const
{
    if (const PredefinedRoot *root = findPredefinedRoot(handle))
        return Key{native::predefinedKey(handle), std::u16string(root->name)};
    if (const auto it = open_.find(handle); it != open_.end())
        return it->second;
    return std::nullopt;
}

RegHandle RegistryHandles::add(Key key)
{
    if (open_.size() >= kLastHandle)
        return 0;
    while (open_.count(next_) != 0)
        next_ = next_ == kLastHandle ? kFirstHandle : next_ + 1;
    const RegHandle handle = next_;
    open_.emplace(handle, std::move(key));
    next_ = next_ == kLastHandle ? kFirstHandle : next_ + 1;
    return handle;
}

std::optional<RegistryHandles::Key> RegistryHandles::take(RegHandle handle)
{
    const auto it = open_.find(handle);
    if (it == open_.end())
        return std::nullopt;
    Key key = std::move(it->second);
    open_.erase(it);
    return key;
}

} // namespace vantrel::platform::windows_backend
