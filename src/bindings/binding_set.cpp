#include "bindings/binding_set.h"

#include "bindings/settings_key.h"

namespace vantrel {

namespace {
std::u16string valueName(platform::FunctionKey key)
{
    const auto label = platform::keyLabel(key);
    return std::u16string(label.begin(), label.end());
}
} // namespace

void BindingSet::load(platform::Registry &registry)
{
    for (const auto key : platform::kFunctionKeys)
        live_[platform::slotIndex(key)] =
            Registry_Module::ReadRegString(registry, kSettingsRoot, kSettingsKeyPath, valueName(key))
                .value_or(std::u16string());
    pathCopies_ = live_;
    liveChanged();
}

Registry_Module::WriteResult BindingSet::save(platform::Registry &registry) const
{
    Registry_Module::WriteResult first;
    for (const auto key : platform::kFunctionKeys) {
        auto result = Registry_Module::WriteRegString(registry, kSettingsRoot, kSettingsKeyPath,
                                                      valueName(key), live(key));
        if (!result.ok && first.ok)
            first = std::move(result);
    }
    return first;
}

void BindingSet::browse(Key key, const std::u16string &path)
{
    live_[platform::slotIndex(key)] = path;
    pathCopies_[platform::slotIndex(key)] = path;
    liveChanged();
}

void BindingSet::clear(Key key)
{
    live_[platform::slotIndex(key)].clear();
    liveChanged();
}

platform::KeySelection BindingSet::keysWithFiles() const
{
    platform::KeySelection keys{};
    for (const auto key : platform::kFunctionKeys)
        keys[platform::slotIndex(key)] = !live(key).empty();
    return keys;
}

void BindingSet::liveChanged() const
{
    if (liveObserver_)
        liveObserver_();
}

} // namespace vantrel
