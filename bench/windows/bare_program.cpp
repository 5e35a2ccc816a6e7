// What vantrel.exe is measured against: a bare Win32 program with a hidden
// window and a message loop that loads the same system DLLs, with vantrel.exe's
// manifest (common controls 6, per-monitor DPI), and does nothing.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <mmsystem.h>
#include <oleauto.h>
#include <shellapi.h>

namespace {
LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}
} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    OleInitialize(nullptr);
    const INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // Never true: the calls only make the program import what vantrel.exe does.
    if (GetTickCount64() == 0) {
        GetOpenFileNameW(nullptr);
        ShellExecuteW(nullptr, nullptr, nullptr, nullptr, nullptr, 0);
        RegCloseKey(nullptr);
        PlaySoundW(nullptr, nullptr, 0);
        SysFreeString(nullptr);
        DeleteObject(nullptr);
    }
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"VantrelBenchBare";
    RegisterClassW(&windowClass);
    CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"bare", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                    instance, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}
