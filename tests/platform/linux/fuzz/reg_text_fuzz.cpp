// Feeds arbitrary bytes to the settings file parser. Besides not crashing,
// whatever it accepts must survive a rewrite: written out and read back, the
// same registry, written out again, the same bytes.
#include "platform/linux/reg_text_format.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace vantrel::platform::linux_backend;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto parsed = parseRegText(std::string_view(reinterpret_cast<const char *>(data), size));
    if (!parsed.document)
        return 0;
    const std::string written = serializeRegText(*parsed.document);
    const auto reread = parseRegText(written);
    if (!reread.document || !(*reread.document == *parsed.document) || serializeRegText(*reread.document) != written)
        std::abort();
    return 0;
}
