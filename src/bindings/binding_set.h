#pragma once

#include "bindings/Registry_Module.h"
#include "bindings/settings_key.h"
#include "platform/function_key.h"
#include "platform/key_source.h"
#include "platform/registry.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace vantrel {

// The seven bindings F6 to F12, held in the two copies the program works with:
//  - the live copy: what the configuration window shows, what the keys open
//    and what OK saves; it follows every Browse and every clearing at once;
//  - the path copies (Module1): what the key list window lists; they follow
//    each Browse, but not a clearing, OK or Cancel.
// The third copy is the settings key itself, written only by save(). It is
// read at start-up and again whenever it may have been changed by another
// hand (the user in an editor, another copy of the program): a row the user
// has not changed in the window since it was last loaded or saved then takes
// the stored value, both copies of it; a row the user has changed keeps the
// user's value until the next save.
class BindingSet {
public:
    using Key = platform::FunctionKey;

    struct LoadResult {
        bool ok = true;
        std::string reason; // where and why, when the store could not be read
        platform::RegStatus status = platform::ERROR_SUCCESS;
    };

    explicit BindingSet(SettingsPlaces places = {}) : places_(std::move(places)) {}

    // The key the bindings are kept in, to watch for changes.
    const SettingsKey &settingsKey() const { return places_.key; }

    const std::u16string &live(Key key) const { return live_[platform::slotIndex(key)]; }
    const std::u16string &pathCopy(Key key) const { return pathCopies_[platform::slotIndex(key)]; }

    // Reads the settings key (while it does not exist, the earlier places of
    // the bindings instead). Every row the user has not changed takes a
    // stored value that differs from the one last loaded or saved (a missing
    // value, or one that is not a string, counts as empty). A row whose value
    // cannot be read keeps what it holds, and the first failure is reported.
    // Writes nothing.
    LoadResult load(platform::Registry &registry);

    // OK: writes all seven live paths, empty ones included, creating the key
    // when missing. Rows the user has not changed are first brought up to
    // date as by load(), so that an OK never takes back what another hand
    // stored meanwhile; where such a row cannot be read, nothing is written
    // at all, since its stored value is one the user never saw. Every value
    // is attempted, unless the store is busy; the first failure is reported.
    Registry_Module::WriteResult save(platform::Registry &registry);

    // A path picked with Browse: both the live copy and the path copy take it.
    void browse(Key key, const std::u16string &path);

    // The Delete key on a row: empties the live copy only.
    void clear(Key key);

    // The keys whose live path is not empty.
    platform::KeySelection keysWithFiles() const;

    // Told after every change of the live copy, whatever made it (Browse,
    // clearing, a load), so that the rows shown and whatever depends on
    // which keys have a file can follow.
    void setLiveObserver(std::function<void()> observer) { liveObserver_ = std::move(observer); }

private:
    // Whether the live path changed.
    bool setLive(Key key, const std::u16string &path);
    void liveChanged() const;
    // One stored value, from the earlier places while the key is missing.
    Registry_Module::ReadResult readStored(platform::Registry &registry, Key key, bool keyExists) const;

    SettingsPlaces places_;
    std::function<void()> liveObserver_;

    std::array<std::u16string, platform::kFunctionKeyCount> live_;
    std::array<std::u16string, platform::kFunctionKeyCount> pathCopies_;
    // Per row: the stored value as last loaded or saved (none until one was
    // read), whether the last read of it failed, and whether the user changed
    // the row since.
    std::array<std::optional<std::u16string>, platform::kFunctionKeyCount> stored_;
    std::array<bool, platform::kFunctionKeyCount> unread_{};
    std::array<bool, platform::kFunctionKeyCount> edited_{};
};

} // namespace vantrel
