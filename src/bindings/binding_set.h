#pragma once

#include "bindings/Registry_Module.h"
#include "platform/function_key.h"
#include "platform/key_source.h"
#include "platform/registry.h"

#include <array>
#include <functional>
#include <string>

namespace vantrel {

// The seven bindings F6 to F12, held in the two copies the program works with:
//  - the live copy: what the configuration window shows, what the keys open
//    and what OK saves; it follows every Browse and every clearing at once;
//  - the path copies (Module1): what the key list window lists; they are set
//    at start-up and follow each Browse, but not a clearing, OK or Cancel.
// The third copy is the settings key itself, read once at start-up and
// written only by save().
class BindingSet {
public:
    using Key = platform::FunctionKey;

    const std::u16string &live(Key key) const { return live_[platform::slotIndex(key)]; }
    const std::u16string &pathCopy(Key key) const { return pathCopies_[platform::slotIndex(key)]; }

    // Start-up: fills the live copy from the settings key (a missing or
    // unreadable value gives an empty binding), then the path copies from it.
    // Writes nothing.
    void load(platform::Registry &registry);

    // OK: writes all seven live paths, empty ones included, creating the key
    // when missing. Every value is attempted; the first failure is reported.
    Registry_Module::WriteResult save(platform::Registry &registry) const;

    // A path picked with Browse: both the live copy and the path copy take it.
    void browse(Key key, const std::u16string &path);

    // The Delete key on a row: empties the live copy only.
    void clear(Key key);

    // The keys whose live path is not empty.
    platform::KeySelection keysWithFiles() const;

    // Told after every change of the live copy, so that whatever depends on
    // which keys have a file can follow.
    void setLiveObserver(std::function<void()> observer) { liveObserver_ = std::move(observer); }

private:
    void liveChanged() const;

    std::function<void()> liveObserver_;
    std::array<std::u16string, platform::kFunctionKeyCount> live_;
    std::array<std::u16string, platform::kFunctionKeyCount> pathCopies_;
};

} // namespace vantrel
