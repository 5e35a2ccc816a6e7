#include "platform/linux/settings/reg_document.h"

#include "platform/linux/settings/case_fold.h"
#include "platform/linux/settings/text_encoding.h"

#include <algorithm>

namespace vantrel::platform::linux_backend {

bool isStorableValueName(std::u16string_view name)
{
    return name.size() <= kMaxValueNameLength &&
           name.find_first_of(std::u16string_view(u"\0\r\n", 3)) == std::u16string_view::npos &&
           findUnpairedSurrogate(name) == std::u16string_view::npos;
}

bool isStorableKeyName(std::u16string_view name)
{
    return !name.empty() && name.size() <= kMaxKeyNameLength && name.find(u'\\') == std::u16string_view::npos &&
           isStorableValueName(name);
}

RegKey *RegKey::findSubkey(const std::u16string &name)
{
    const auto found = subkeyIndex_.find(foldCase(name));
    return found == subkeyIndex_.end() ? nullptr : subkeys_[found->second].get();
}

const RegKey *RegKey::findSubkey(const std::u16string &name) const
{
    return const_cast<RegKey *>(this)->findSubkey(name);
}

RegKey &RegKey::subkey(const std::u16string &name)
{
    const auto [slot, added] = subkeyIndex_.try_emplace(foldCase(name), subkeys_.size());
    if (added)
        subkeys_.push_back(std::make_unique<RegKey>(name));
    return *subkeys_[slot->second];
}

const RegValue *RegKey::findValue(const std::u16string &name) const
{
    const auto found = valueIndex_.find(foldCase(name));
    return found == valueIndex_.end() ? nullptr : &values_[found->second];
}

RegValue &RegKey::setValue(const std::u16string &name, std::uint32_t type, std::vector<std::uint8_t> data)
{
    const auto [slot, added] = valueIndex_.try_emplace(foldCase(name), values_.size());
    if (added)
        values_.push_back(RegValue{name, type, {}, {}});
    hasSection = true;
    RegValue &value = values_[slot->second];
    value.type = type;
    value.data = std::move(data);
    value.unreadableLines.clear();
    return value;
}

void RegKey::keepUnreadable(RegValue value)
{
    hasSection = true;
    const auto [slot, added] = valueIndex_.try_emplace(foldCase(value.name), values_.size());
    if (added) {
        values_.push_back(std::move(value));
        return;
    }
    // It keeps the spelling of its own line, which is what a rewrite writes.
    RegValue &earlier = values_[slot->second];
    value.comments.insert(value.comments.begin(), earlier.comments.begin(), earlier.comments.end());
    earlier = std::move(value);
}

bool RegKey::operator==(const RegKey &other) const
{
    return name_ == other.name_ && hasSection == other.hasSection && comments == other.comments &&
           values_ == other.values_ &&
           std::equal(subkeys_.begin(), subkeys_.end(), other.subkeys_.begin(), other.subkeys_.end(),
                      [](const auto &a, const auto &b) { return *a == *b; });
}

} // namespace vantrel::platform::linux_backend
