#pragma once

#include "platform/key_source.h"

#include <vector>

namespace vantrel::test {

// Keys that never report a press. The triggers the desktop assigned are the
// test's to set; the keys the window asks the source for are kept.
class IdleKeys : public platform::KeySource {
public:
    bool start(std::string *) override { return true; }
    platform::KeySourceWakeup wakeup() const override { return {}; }
    bool collect() override { return true; }
    platform::KeyState query(platform::FunctionKey) override { return {}; }
    void useKeys(const platform::KeySelection &keys) override { used.push_back(keys); }
    std::optional<std::string> desktopTrigger(platform::FunctionKey key) const override
    {
        return triggers[platform::slotIndex(key)];
    }

    std::array<std::optional<std::string>, platform::kFunctionKeyCount> triggers;
    std::vector<platform::KeySelection> used;
};

} // namespace vantrel::test
