#include "windows/design/control_design.h"

#include <cstdio>
#include <cstdlib>

namespace vantrel::design {

const ControlDesign &WindowDesign::control(ControlId id) const
{
    for (const auto &candidate : controls)
        if (candidate.id == id)
            return candidate;
    std::fprintf(stderr, "vantrel: the window %.*s has no control %.*s %d\n", static_cast<int>(name.size()),
                 name.data(), static_cast<int>(id.name.size()), id.name.data(), id.index);
    std::abort();
}

std::u16string withoutAccessKeys(std::u16string_view caption)
{
    std::u16string plain;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        plain += caption[i];
    }
    return plain;
}

} // namespace vantrel::design
