// Feeds arbitrary bytes to the settings file parser. Besides not crashing,
// whatever it accepts must survive a rewrite (written out and read back, the
// same registry; written out again, the same bytes), and the lookups that
// reads use must find what the whole registry holds.
#include "platform/linux/settings/reg_key_lookup.h"
#include "platform/linux/settings/reg_text_format.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

using namespace vantrel::platform::linux_backend;

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

// Looks up a few keys of the registry, and a few values of each, the way a
// read does; each lookup is a parse of its own, so only a few.
void checkLookups(std::string_view bytes, const RegKey &key, std::u16string_view root,
                  std::vector<std::u16string> &levels, int &budget)
{
    if (budget-- <= 0)
        return;
    RegKeyLookup keyLookup(root, levels);
    require(!parseRegText(bytes, keyLookup) && keyLookup.keyFound());
    for (std::size_t i = 0; i < key.values().size() && i < 4; ++i) {
        const RegValue &expected = key.values()[i];
        RegKeyLookup valueLookup(root, levels, expected.name);
        require(!parseRegText(bytes, valueLookup) && valueLookup.value());
        require(valueLookup.value()->type == expected.type && valueLookup.value()->data == expected.data &&
                valueLookup.value()->unreadableLines == expected.unreadableLines &&
                (valueLookup.unreadableLine() != 0) == !expected.unreadableLines.empty());
    }
    for (const auto &subkey : key.subkeys()) {
        levels.push_back(subkey->name());
        checkLookups(bytes, *subkey, root, levels, budget);
        levels.pop_back();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const auto parsed = parseRegText(bytes);
    if (!parsed.document)
        return 0;
    const std::string written = serializeRegText(*parsed.document);
    const auto reread = parseRegText(written);
    require(reread.document && *reread.document == *parsed.document && serializeRegText(*reread.document) == written);

    int budget = 6;
    std::vector<std::u16string> levels;
    for (const auto &root : parsed.document->top.subkeys())
        checkLookups(bytes, *root, root->name(), levels, budget);
    return 0;
}
