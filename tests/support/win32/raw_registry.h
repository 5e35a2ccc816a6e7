#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The registry as other tools see it, through the Win32 calls directly: what
// the tests write behind the backend's back and read after it. Kept apart
// from the program's registry interface, whose names <windows.h> redefines.
// Every path lies below HKEY_LOCAL_MACHINE; failures throw.
namespace vantrel::test::raw_registry {

// An HKEY that is closed with the object.
struct KeyCloser {
    void operator()(void *key) const;
};
using OwnedKey = std::unique_ptr<void, KeyCloser>;

enum class View {
    Program, // the 32-bit view, where Vantrel and the original program keep their settings
    Native,  // the 64-bit view, where Software\WOW6432Node shows the 32-bit one
};

void createKey(const std::u16string &path);

void setValue(const std::u16string &path, const std::u16string &name, std::uint32_t type,
              const std::vector<std::uint8_t> &data, View view = View::Program);

// The narrow call, as the original program wrote: the text in the system's
// ANSI code page, its terminating NUL included.
void setAnsiString(const std::u16string &path, const std::u16string &name, const std::string &ansi);

std::vector<std::uint8_t> value(const std::u16string &path, const std::u16string &name, std::uint32_t *type,
                                View view = View::Program);

// The narrow call's reading of a REG_SZ value: ANSI bytes, NUL included.
std::string ansiString(const std::u16string &path, const std::u16string &name);

std::vector<std::u16string> subkeyNames(const std::u16string &path);

// Removes the key with everything below it, when it exists.
void deleteTree(const std::u16string &path);

// The text in the system's ANSI code page; nothing where the code page lacks
// one of its characters.
std::optional<std::string> toAnsi(const std::u16string &text);

// Whether the event handle is signalled within the time given.
bool signalledWithin(void *event, unsigned long milliseconds);

// While it lives, the key grants nobody any right (an empty DACL), as a key
// set up by an administrator for other users might.
class DeniedKey {
public:
    explicit DeniedKey(const std::u16string &path);
    ~DeniedKey();
    DeniedKey(const DeniedKey &) = delete;
    DeniedKey &operator=(const DeniedKey &) = delete;

private:
    OwnedKey key_; // with the right to change the key's DACL
    std::vector<std::uint8_t> savedSecurity_;
};

// While it lives, HKEY_LOCAL_MACHINE means a new, empty key of this process's
// own (RegOverridePredefKey), which it deletes at the end.
class PrivateMachineRoot {
public:
    PrivateMachineRoot();
    ~PrivateMachineRoot();
    PrivateMachineRoot(const PrivateMachineRoot &) = delete;
    PrivateMachineRoot &operator=(const PrivateMachineRoot &) = delete;

private:
    std::wstring path_; // below HKEY_CURRENT_USER
    OwnedKey key_;
};

} // namespace vantrel::test::raw_registry
