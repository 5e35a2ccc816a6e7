#include "app/win32/tray_icon.h"

#include <cwchar>

namespace vantrel::win32_app {

namespace {
constexpr UINT kIconId = 1;
} // namespace

TrayIcon::TrayIcon(HWND owner, UINT callbackMessage, HICON icon, std::wstring tip)
    : owner_(owner), callbackMessage_(callbackMessage), icon_(icon), tip_(std::move(tip))
{
}

TrayIcon::~TrayIcon()
{
    if (!shown_)
        return;
    NOTIFYICONDATAW icon = data();
    Shell_NotifyIconW(NIM_DELETE, &icon);
}

NOTIFYICONDATAW TrayIcon::data() const
{
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = owner_;
    icon.uID = kIconId;
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP;
    icon.uCallbackMessage = callbackMessage_;
    icon.hIcon = icon_;
    wcsncpy(icon.szTip, tip_.c_str(), std::size(icon.szTip) - 1);
    return icon;
}

bool TrayIcon::add()
{
    NOTIFYICONDATAW icon = data();
    // An icon left over from before Explorer restarted may still be known.
    if (shown_)
        Shell_NotifyIconW(NIM_DELETE, &icon);
    shown_ = Shell_NotifyIconW(NIM_ADD, &icon) != FALSE;
    if (!shown_)
        return false;
    // Version 4: a left click or Enter on the focused icon is one "select",
    // a right click or the menu key one WM_CONTEXTMENU at the pointer.
    icon.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconW(NIM_SETVERSION, &icon);
    return true;
}

UINT TrayIcon::taskbarCreatedMessage()
{
    static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

TrayIcon::Event TrayIcon::eventOf(LPARAM lParam)
{
    switch (LOWORD(lParam)) {
    case NIN_SELECT:
    case NIN_KEYSELECT:
        return Event::Activate;
    case WM_CONTEXTMENU:
        return Event::Menu;
    default:
        return Event::None;
    }
}

} // namespace vantrel::win32_app
