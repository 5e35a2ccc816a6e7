#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace vantrel::win32_app {

// The program's icon in the notification area, with its tip. The shell tells
// the owner window of clicks through callbackMessage (NOTIFYICON_VERSION_4:
// the event in the low word of lParam, the pointer in wParam). Explorer
// forgets every icon when it restarts and then broadcasts "TaskbarCreated"
// to the top-level windows: the owner calls add() again.
class TrayIcon {
public:
    TrayIcon(HWND owner, UINT callbackMessage, HICON icon, std::wstring tip);
    // Takes the icon away.
    ~TrayIcon();
    TrayIcon(const TrayIcon &) = delete;
    TrayIcon &operator=(const TrayIcon &) = delete;

    // Shows the icon; false when the shell refused it.
    bool add();

    // The message Explorer broadcasts when it starts.
    static UINT taskbarCreatedMessage();

    // What a callback message means.
    enum class Event { None, Activate, Menu };
    static Event eventOf(LPARAM lParam);

private:
    NOTIFYICONDATAW data() const;

    HWND owner_;
    UINT callbackMessage_;
    HICON icon_;
    std::wstring tip_;
    bool shown_ = false;
};

} // namespace vantrel::win32_app
