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

// Why the shell failed, from the code it leaves in hInstApp. Its error box
// runs before the call returns, and under Wine the thread's last error
// afterwards is whatever the box left there.
DWORD failureOf(const SHELLEXECUTEINFOW &request, DWORD lastError)
{
    switch (const auto code = reinterpret_cast<INT_PTR>(request.hInstApp)) {
    case SE_ERR_FNF:
    case SE_ERR_PNF:
    case SE_ERR_ACCESSDENIED:
    case SE_ERR_OOM:
    case ERROR_BAD_FORMAT:
        // The system's own numbers.
        return static_cast<DWORD>(code);
    case SE_ERR_NOASSOC:
    case SE_ERR_ASSOCINCOMPLETE:
        return ERROR_NO_ASSOCIATION;
    case SE_ERR_DDETIMEOUT:
    case SE_ERR_DDEFAIL:
    case SE_ERR_DDEBUSY:
        return ERROR_DDE_FAIL;
    case SE_ERR_DLLNOTFOUND:
        return ERROR_DLL_NOT_FOUND;
    case SE_ERR_SHARE:
        return ERROR_SHARING_VIOLATION;
    default:
        return lastError;
    }
}

void launch(const std::u16string &target)
{
    const ComApartment apartment;
    const std::wstring file = toWide(target);
    SHELLEXECUTEINFOW request{};
    request.cbSize = sizeof request;
    // The thread ends right after the call: the shell must be done with the
    // request by then, not hand it to a thread of its own that would die too.
    // A failure is told by the shell in its own error box, as Explorer tells
    // it; the box waits for the user on this thread, which holds up later
    // launches of the same target only.
    request.fMask = SEE_MASK_NOASYNC;
    // No owner window. The box is modal to its owner: owned by the
    // configuration window it would disable that window while it is up, and
    // its closing would wait for the window thread to take the message that
    // enables the owner again. A window owned across threads may also attach
    // the two threads' input queues, so that either waiting holds up the
    // other's keys and windows. Without an owner the box belongs to this
    // thread alone: it holds up nothing, and Exit ends the program with it up.
    request.hwnd = nullptr;
    request.lpVerb = L"open";
    request.lpFile = file.c_str();
    request.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&request)) {
        const DWORD failure = failureOf(request, GetLastError());
        printDiagnostic("vantrel: cannot open \"" + toUtf8(target) + "\": " + systemMessage(failure));
    }
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
