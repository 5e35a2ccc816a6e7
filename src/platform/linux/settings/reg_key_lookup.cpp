#include "platform/linux/settings/reg_key_lookup.h"

#include "platform/linux/settings/case_fold.h"

#include <algorithm>

namespace vantrel::platform::linux_backend {

namespace {

bool equalFolded(std::u16string_view name, const std::u16string &folded)
{
    return std::equal(name.begin(), name.end(), folded.begin(), folded.end(),
                      [](char16_t a, char16_t b) { return foldCase(a) == b; });
}

} // namespace

RegKeyLookup::RegKeyLookup(std::u16string_view root, const std::vector<std::u16string> &levels,
                           std::optional<std::u16string> valueName)
    : root_(root)
{
    for (const auto &level : levels)
        foldedLevels_.push_back(foldCase(level));
    if (valueName)
        foldedValueName_ = foldCase(*valueName);
}

void RegKeyLookup::section(std::u16string_view root, const std::vector<std::u16string_view> &levels,
                           std::vector<std::u16string>)
{
    inKey_ = false;
    if (root != root_ || levels.size() < foldedLevels_.size())
        return;
    for (std::size_t i = 0; i < foldedLevels_.size(); ++i) {
        if (!equalFolded(levels[i], foldedLevels_[i]))
            return;
    }
    keyFound_ = true;
    inKey_ = levels.size() == foldedLevels_.size();
}

void RegKeyLookup::value(RegValue value)
{
    if (inKey_ && foldedValueName_ && equalFolded(value.name, *foldedValueName_)) {
        value_ = std::move(value);
        unreadableLine_ = 0;
    }
}

void RegKeyLookup::unreadableValue(RegValue value, std::size_t line)
{
    if (inKey_ && foldedValueName_ && equalFolded(value.name, *foldedValueName_)) {
        value_ = std::move(value);
        unreadableLine_ = line;
    }
}

void RegKeyLookup::trailingComments(std::vector<std::u16string>) {}

} // namespace vantrel::platform::linux_backend
