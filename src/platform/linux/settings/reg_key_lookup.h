#pragma once

#include "platform/linux/settings/reg_text_format.h"

#include <optional>
#include <string>
#include <vector>

namespace vantrel::platform::linux_backend {

// Finds one key, and maybe one of its values, while a file is parsed,
// without building the whole registry: a read costs one pass over the file
// and memory for what it looks for, however large the file. Finds what the
// registry built from the same file holds (names compared without regard to
// case, a later value of the same name replacing an earlier one).
class RegKeyLookup : public RegTextSink {
public:
    // root as kPredefinedRoots spells it; levels below it.
    RegKeyLookup(std::u16string_view root, const std::vector<std::u16string> &levels,
                 std::optional<std::u16string> valueName = std::nullopt);

    // Whether the key is in the file: as a section, or as a level of one.
    bool keyFound() const { return keyFound_; }
    const std::optional<RegValue> &value() const { return value_; }
    // Where the value found begins, when its data could not be read.
    std::size_t unreadableLine() const { return unreadableLine_; }

    void section(std::u16string_view root, const std::vector<std::u16string_view> &levels,
                 std::vector<std::u16string> comments) override;
    void value(RegValue value) override;
    void unreadableValue(RegValue value, std::size_t line) override;
    void trailingComments(std::vector<std::u16string> comments) override;

private:
    std::u16string_view root_;
    std::vector<std::u16string> foldedLevels_;
    std::optional<std::u16string> foldedValueName_;
    bool keyFound_ = false;
    bool inKey_ = false; // the latest section is the key itself
    std::optional<RegValue> value_;
    std::size_t unreadableLine_ = 0;
};

} // namespace vantrel::platform::linux_backend
