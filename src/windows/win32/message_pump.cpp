#include "windows/win32/message_pump.h"

#include "windows/win32/designed_window.h"

#include <windows.h>

namespace vantrel::win32_windows {

namespace {
void handle(MSG &message)
{
    if (DesignedWindow::takeDialogMessage(&message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}
} // namespace

bool pumpWaitingMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        handle(message);
    }
    return true;
}

int runMessageLoop()
{
    MSG message;
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0)
        handle(message);
    return got < 0 ? 1 : static_cast<int>(message.wParam);
}

} // namespace vantrel::win32_windows
