#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace vantrel::platform {

// The seven keys Vantrel watches, in the fixed order every walk uses.
enum class FunctionKey { F6, F7, F8, F9, F10, F11, F12 };

inline constexpr std::size_t kFunctionKeyCount = 7;

inline constexpr std::array<FunctionKey, kFunctionKeyCount> kFunctionKeys{
    FunctionKey::F6,  FunctionKey::F7,  FunctionKey::F8, FunctionKey::F9,
    FunctionKey::F10, FunctionKey::F11, FunctionKey::F12};

constexpr std::size_t slotIndex(FunctionKey key) { return static_cast<std::size_t>(key); }

// "F6" to "F12": the key's label and the name of its settings value.
constexpr std::string_view keyLabel(FunctionKey key)
{
    constexpr std::array<std::string_view, kFunctionKeyCount> labels{"F6", "F7", "F8", "F9", "F10", "F11", "F12"};
    return labels[slotIndex(key)];
}

// The key a label names, in any letter case ("f8" names F8).
constexpr std::optional<FunctionKey> functionKeyNamed(std::string_view name)
{
    for (const auto key : kFunctionKeys) {
        const auto label = keyLabel(key);
        if (name.size() != label.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size(); ++i)
            same = same && (name[i] == 'f' ? 'F' : name[i]) == label[i];
        if (same)
            return key;
    }
    return std::nullopt;
}

// Windows virtual-key code: 0x75 for F6 up to 0x7B for F12.
constexpr int virtualKeyCode(FunctionKey key) { return 0x75 + static_cast<int>(slotIndex(key)); }

} // namespace vantrel::platform
