#include "platform/win32/shell_opener.h"

#include "platform/diagnostic.h"
#include "platform/win32/system_message.h"
#include "platform/win32/wide_text.h"

// Everything below needs the types windows.h declares.
#include <windows.h>

#include <objbase.h>
#include <shellapi.h>

namespace vantrel::platform::windows_backend {

namespace {

// The shell may hand an open request to an extension activated through COM,
// so the launching thread must be in an apartment for the call.
class ComApartment {
public:
    ComApartment() : joined_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComApartment()
    {
        if (joined_)
            CoUninitialize();
    }
    ComApartment(const ComApartment &) = delete;
    ComApartment &operator=(const ComApartment &) = delete;

private:
    bool joined_;
};

void launch(const std::u16string &target)
{
    const ComApartment apartment;
    const std::wstring file = toWide(target);
    SHELLEXECUTEINFOW request{};
    request.cbSize = sizeof request;
    // The thread ends right after the call: the shell must be done with the
    // request by then, not hand it to a thread of its own that would die too.
    // A failure is reported by the program, as ShellExecute would leave it,
    // rather than in a box of the shell's that holds up the target's launches.
    request.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    request.lpVerb = L"open";
    request.lpFile = file.c_str();
    request.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&request))
        printDiagnostic("vantrel: cannot open \"" + toUtf8(target) + "\": " + systemMessage(GetLastError()));
}

} // namespace

std::string ShellOpener::open(const std::u16string &target)
{
    if (target.empty())
        return "there is no file to open";
    // The shell reads up to the first NUL: anything after it would be lost
    // and a different file opened.
    std::string refusal;
    if (target.find(u'\0') != std::u16string::npos)
        refusal = "the path holds a NUL character";
    else if (!threads_.post(toUtf8(target), [target] { launch(target); }))
        refusal = "too many launches of it are waiting for the first to finish";
    if (!refusal.empty())
        printDiagnostic("vantrel: cannot open \"" + toUtf8(target) + "\": " + refusal);
    return refusal;
}

} // namespace vantrel::platform::windows_backend
