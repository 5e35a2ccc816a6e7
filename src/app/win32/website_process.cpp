#include "app/win32/website_process.h"

#include "platform/diagnostic.h"

#include <string>
#include <vector>

namespace vantrel::win32_app {

namespace {

constexpr DWORD quitWaitMs = 2000;

// The process's own top-level windows: the website window, or a message
// box of its control.
std::vector<HWND> windowsOf(DWORD processId)
{
    struct Search {
        DWORD processId;
        std::vector<HWND> found;
    } search{processId, {}};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto &s = *reinterpret_cast<Search *>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s.processId && IsWindowVisible(window) && !GetWindow(window, GW_OWNER))
                s.found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

} // namespace

std::wstring programPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

WebsiteProcess::~WebsiteProcess() { close(); }

void WebsiteProcess::show()
{
    if (running()) {
        bringForward();
        return;
    }
    forget();
    const std::wstring program = programPath();
    std::wstring commandLine =
        L"\"" + program + L"\" " + std::wstring(std::begin(websiteWindowArgument), std::end(websiteWindowArgument) - 1);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started)) {
        printDiagnostic("vantrel: cannot start the website window: error " + std::to_string(GetLastError()));
        return;
    }
    CloseHandle(started.hThread);
    process_ = started.hProcess;
    processId_ = started.dwProcessId;
    // The user asked for the window: it may come to the front over ours.
    AllowSetForegroundWindow(processId_);
}

void WebsiteProcess::close()
{
    if (running()) {
        for (HWND window : windowsOf(processId_))
            PostMessageW(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_, quitWaitMs) != WAIT_OBJECT_0) {
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, quitWaitMs);
        }
    }
    forget();
}

bool WebsiteProcess::running() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

void WebsiteProcess::bringForward() const
{
    AllowSetForegroundWindow(processId_);
    for (HWND window : windowsOf(processId_)) {
        if (IsIconic(window))
            ShowWindow(window, SW_RESTORE);
        SetForegroundWindow(window);
    }
}

void WebsiteProcess::forget()
{
    if (process_)
        CloseHandle(process_);
    process_ = nullptr;
    processId_ = 0;
}

} // namespace vantrel::win32_app
