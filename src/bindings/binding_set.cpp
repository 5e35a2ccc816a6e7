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

BindingSet::LoadResult BindingSet::load(platform::Registry &registry)
{
    LoadResult result;
    bool changed = false;
    for (const auto key : platform::kFunctionKeys) {
        const auto slot = platform::slotIndex(key);
        auto read = Registry_Module::ReadRegStringChecked(registry, kSettingsRoot, kSettingsKeyPath, valueName(key));
        unread_[slot] = read.failed();
        if (read.failed()) {
            if (result.ok)
                result = {false, std::move(read.reason), read.status};
            continue;
        }
        const std::u16string value = read.text.value_or(std::u16string());
        if (stored_[slot] == value)
            continue;
        stored_[slot] = value;
        if (!edited_[slot]) {
            pathCopies_[slot] = value;
            changed |= setLive(key, value);
        }
    }
    if (changed)
        liveChanged();
    return result;
}

Registry_Module::WriteResult BindingSet::save(platform::Registry &registry)
{
    if (const auto current = load(registry); !current.ok) {
        for (const auto key : platform::kFunctionKeys) {
            const auto slot = platform::slotIndex(key);
            if (unread_[slot] && !edited_[slot])
                return {false, current.reason, current.status};
        }
    }
    Registry_Module::WriteResult first;
    for (const auto key : platform::kFunctionKeys) {
        const auto slot = platform::slotIndex(key);
        auto result =
            Registry_Module::WriteRegString(registry, kSettingsRoot, kSettingsKeyPath, valueName(key), live(key));
        if (result.ok) {
            stored_[slot] = live(key);
            edited_[slot] = false;
            continue;
        }
        const bool busy = result.status == platform::ERROR_SHARING_VIOLATION;
        if (first.ok)
            first = std::move(result);
        // Each further value would wait for the same lock in turn.
        if (busy)
            break;
    }
    return first;
}

void BindingSet::browse(Key key, const std::u16string &path)
{
    const auto slot = platform::slotIndex(key);
    edited_[slot] = true;
    pathCopies_[slot] = path;
    if (setLive(key, path))
        liveChanged();
}

void BindingSet::clear(Key key)
{
    edited_[platform::slotIndex(key)] = true;
    if (setLive(key, std::u16string()))
        liveChanged();
}

platform::KeySelection BindingSet::keysWithFiles() const
{
    platform::KeySelection keys{};
    for (const auto key : platform::kFunctionKeys)
        keys[platform::slotIndex(key)] = !live(key).empty();
    return keys;
}

bool BindingSet::setLive(Key key, const std::u16string &path)
{
    auto &live = live_[platform::slotIndex(key)];
    if (live == path)
        return false;
    live = path;
    return true;
}

void BindingSet::liveChanged() const
{
    if (liveObserver_)
        liveObserver_();
}

} // namespace vantrel
