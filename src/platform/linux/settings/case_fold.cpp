#include "platform/linux/settings/case_fold.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace vantrel::platform::linux_backend {

namespace {

struct FoldRun {
    std::uint16_t first;
    std::uint16_t last;
    std::int32_t offset;
    std::uint16_t stride;
};

constexpr FoldRun kFoldRuns[] = {
#include "platform/linux/settings/case_fold_table.inc"
};

} // namespace

char16_t foldCase(char16_t unit)
{
    if (unit < 0x80)
        return (unit >= u'a' && unit <= u'z') ? static_cast<char16_t>(unit - 32) : unit;
    // The last run that starts at or before the unit.
    const auto after = std::upper_bound(std::begin(kFoldRuns), std::end(kFoldRuns), unit,
                                        [](char16_t u, const FoldRun &run) { return u < run.first; });
    if (after == std::begin(kFoldRuns))
        return unit;
    const FoldRun &run = *std::prev(after);
    if (unit > run.last || (unit - run.first) % run.stride != 0)
        return unit;
    return static_cast<char16_t>(unit + run.offset);
}

std::u16string foldCase(const std::u16string &text)
{
    std::u16string folded(text);
    for (char16_t &unit : folded)
        unit = foldCase(unit);
    return folded;
}

} // namespace vantrel::platform::linux_backend
