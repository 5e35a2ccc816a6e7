#include "platform/win32/shell_opener.h"

#include "platform/diagnostic.h"
#include "platform/win32/system_message.h"
#include "platform/win32/wide_text.h"

// Everything below needs the types windows.h declares.
#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

namespace vantrel::platform::windows_backend {

// The shell may hand an open request to an extension activated through COM,
// so the calling thread must be in an apartment. Where the thread already is
// (Qt puts its main thread in one), this joins nothing and leaves nothing.
ShellOpener::ShellOpener()
    : comJoined_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)))
{
}

ShellOpener::~ShellOpener()
{
    if (comJoined_)
        CoUninitialize();
}

std::string ShellOpener::open(const std::u16string &target)
{
    if (target.empty())
        return "there is no file to open";
    // The shell reads up to the first NUL: anything after it would be lost
    // and a different file opened.
    if (target.find(u'\0') != std::u16string::npos) {
        const std::string refusal = "the path holds a NUL character";
        printDiagnostic("vantrel: cannot open \"" + toUtf8(target) + "\": " + refusal);
        return refusal;
    }
    const std::wstring file = toWide(target);
    const auto result =
        reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    // Values above 32 mean success; the detail of a failure is in the thread's last error.
    if (result > 32)
        return {};
    const DWORD error = GetLastError();
    const std::string failure = systemMessage(error != 0 ? error : static_cast<DWORD>(result));
    printDiagnostic("vantrel: cannot open \"" + toUtf8(target) + "\": " + failure);
    return failure;
}

} // namespace vantrel::platform::windows_backend
