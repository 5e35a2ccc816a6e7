#pragma once

#include <string>
#include <string_view>

namespace vantrel::design {

// The windows' texts are UTF-16; what the platform layer reports (reasons,
// desktop triggers) is UTF-8. A malformed sequence becomes U+FFFD.
std::u16string fromUtf8(std::string_view text);

std::u16string fromAscii(std::string_view text);

} // namespace vantrel::design
