#include "bindings/Registry_Module.h"

#include "platform/utf16le.h"

#include <cstring>
#include <limits>
#include <vector>

namespace vantrel::Registry_Module {

using namespace platform;

std::u16string TrimAtNull(const std::u16string &text)
{
    const auto nul = text.find(u'\0');
    return nul == std::u16string::npos ? text : text.substr(0, nul);
}

namespace {

// Closes the key when the operation ends, also on an early return.
class OpenKey {
public:
    explicit OpenKey(Registry &registry) : registry_(registry) {}
    ~OpenKey()
    {
        if (handle_ != 0)
            registry_.closeKey(handle_);
    }
    OpenKey(const OpenKey &) = delete;
    OpenKey &operator=(const OpenKey &) = delete;

    RegHandle *out() { return &handle_; }
    RegHandle get() const { return handle_; }

private:
    Registry &registry_;
    RegHandle handle_ = 0;
};

ReadResult failure(Registry &registry, RegStatus status)
{
    return {std::nullopt, status, registry.describeFailure(status)};
}

ReadResult queryChecked(Registry &registry, RegHandle key, const std::u16string &valueName)
{
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (const RegStatus status = registry.queryValue(key, valueName, &type, nullptr, &size); status != ERROR_SUCCESS)
        return status == ERROR_FILE_NOT_FOUND ? ReadResult{} : failure(registry, status);
    if (type != REG_SZ)
        return {};

    // A buffer of spaces (UTF-16LE) as long as the value; whatever the second
    // pass does not overwrite stays a space.
    std::vector<std::uint8_t> buffer(size + (size % 2), 0);
    for (std::size_t i = 0; i < buffer.size(); i += 2)
        buffer[i] = ' ';
    std::uint32_t scratchType = 0;
    // The value was there a moment ago: a second pass that fails (the value
    // changed or went in between) says nothing about what it holds now.
    if (const RegStatus status = registry.queryValue(key, valueName, &scratchType, buffer.data(), &size);
        status != ERROR_SUCCESS)
        return failure(registry, status);

    return {TrimAtNull(
                platform::fromUtf16le(std::string_view(reinterpret_cast<const char *>(buffer.data()), buffer.size()))),
            ERROR_SUCCESS,
            {}};
}

} // namespace

std::optional<std::u16string> QueryRegString(Registry &registry, RegHandle key, const std::u16string &valueName)
{
    return queryChecked(registry, key, valueName).text;
}

ReadResult ReadRegStringChecked(Registry &registry, RegHandle root, const std::u16string &keyPath,
                                const std::u16string &valueName)
{
    OpenKey key(registry);
    if (const RegStatus status = registry.openKey(root, keyPath, key.out()); status != ERROR_SUCCESS)
        return status == ERROR_FILE_NOT_FOUND ? ReadResult{} : failure(registry, status);
    return queryChecked(registry, key.get(), valueName);
}

std::optional<std::u16string> ReadRegString(Registry &registry, RegHandle root, const std::u16string &keyPath,
                                            const std::u16string &valueName)
{
    return ReadRegStringChecked(registry, root, keyPath, valueName).text;
}

WriteResult WriteRegString(Registry &registry, RegHandle root, const std::u16string &keyPath,
                           const std::u16string &valueName, const std::u16string &data)
{
    OpenKey key(registry);
    if (const RegStatus status = registry.createKey(root, keyPath, key.out()); status != ERROR_SUCCESS)
        return {false, registry.describeFailure(status), status};

    constexpr std::size_t maxUnits = std::numeric_limits<std::uint32_t>::max() / 2 - 1;
    if (data.size() > maxUnits)
        return {false, registry.describeFailure(ERROR_INVALID_PARAMETER), ERROR_INVALID_PARAMETER};

    // UTF-16LE code units with the terminating NUL, as RegSetValueExW takes them.
    const auto bytes = platform::toUtf16le(data + u'\0');
    const RegStatus status =
        registry.setValue(key.get(), valueName, REG_SZ, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    if (status != ERROR_SUCCESS)
        return {false, registry.describeFailure(status), status};
    return {};
}

} // namespace vantrel::Registry_Module
