#include "platform/win32/system_message.h"

#include "platform/win32/wide_text.h"

#include <windows.h>

#include <memory>

namespace vantrel::platform::windows_backend {

namespace {
struct LocalFreer {
    void operator()(wchar_t *text) const { LocalFree(text); }
};
} // namespace

std::string systemMessage(unsigned long code)
{
    wchar_t *raw = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, code, 0, reinterpret_cast<wchar_t *>(&raw), 0, nullptr);
    const std::unique_ptr<wchar_t, LocalFreer> text(raw);
    if (length == 0)
        return "system error " + std::to_string(code);
    std::wstring_view message(text.get(), length);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.remove_suffix(1);
    return toUtf8(message);
}

} // namespace vantrel::platform::windows_backend
