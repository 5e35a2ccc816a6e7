#include "bindings/binding_set.h"

namespace vantrel {

namespace {
std::u16string valueName(platform::FunctionKey key)
{
    const auto label = platform::keyLabel(key);
    return std::u16string(label.begin(), label.end());
}

bool keyExists(platform::Registry &registry, const SettingsKey &key)
{
    platform::RegHandle handle = 0;
    const platform::RegStatus status = registry.openKey(key.root, key.path, &handle);
    if (status == platform::ERROR_SUCCESS)
        registry.closeKey(handle);
    // A key that cannot be opened for another reason is there: its failure
    // is reported by the read that follows.
    return status != platform::ERROR_FILE_NOT_FOUND;
}
} // namespace

Registry_Module::ReadResult BindingSet::readStored(platform::Registry &registry, Key key, bool keyExists) const
{
    if (!keyExists) {
        // Earlier places are a courtesy: one that cannot be read just has
        // nothing to hand on.
        for (const SettingsKey &place : places_.earlier) {
            auto read = Registry_Module::ReadRegStringChecked(registry, place.root, place.path, valueName(key));
            if (!read.failed() && read.text)
                return read;
        }
    }
    return Registry_Module::ReadRegStringChecked(registry, places_.key.root, places_.key.path, valueName(key));
}

BindingSet::LoadResult BindingSet::load(platform::Registry &registry)
{
    LoadResult result;
    bool changed = false;
    const bool exists = places_.earlier.empty() || keyExists(registry, places_.key);
    for (const auto key : platform::kFunctionKeys) {
        const auto slot = platform::slotIndex(key);
        auto read = readStored(registry, key, exists);
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
            Registry_Module::WriteRegString(registry, places_.key.root, places_.key.path, valueName(key), live(key));
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
