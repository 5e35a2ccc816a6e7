#include "app/win32/resident.h"

#include "platform/diagnostic.h"
#include "windows/design/frmConfig_design.h"

// After every header that sees the registry interface: see resident.h.
#include "app/win32/event_watch.h"
#include "app/win32/tray_icon.h"
#include "windows/win32/program_icon.h"

#include <commctrl.h>

#include <utility>

namespace vantrel::win32_app {

namespace {

constexpr wchar_t kWindowClass[] = L"Morvask.Vantrel.Resident";

// What the window is told, besides the system's own messages.
enum : UINT {
    kKeysMessage = WM_APP + 1,
    kSessionMessage,
    kSettingsMessage,
    kTrayMessage,
};

enum : UINT_PTR {
    kConfigureItem = 1,
    kViewKeysItem,
    kExitItem,
};

HICON loadTrayPicture(HINSTANCE instance)
{
    // The small size of the system's current DPI, drawn down from the
    // program's icon by the system where it has no picture of that size.
    HICON icon = nullptr;
    if (SUCCEEDED(LoadIconMetric(instance, kProgramIconName, LIM_SMALL, &icon)))
        return icon;
    return static_cast<HICON>(LoadImageW(instance, kProgramIconName, IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                         GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
}

// Starts watching an event; one the watch thread cannot take is said, and
// the program runs on without it.
std::unique_ptr<EventWatch> watchEvent(EventWatchThread &thread, void *event, UINT message, const char *lost)
{
    auto watch = std::make_unique<EventWatch>(thread, static_cast<HANDLE>(event), message);
    if (watch->watching())
        return watch;
    printDiagnostic(std::string("vantrel: cannot watch ") + lost);
    return nullptr;
}

} // namespace

// The window procedure, with the Win32 types the header leaves out.
struct ResidentWindow {
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT handle(Resident &resident, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
};

Resident::Resident(Services services, SettingsPlaces settings)
    : services_(services), bindings_(std::move(settings)), poller_(services.keys, bindings_, services.opener)
{
}

Resident::~Resident()
{
    // The watches post to the window: they go first.
    tmrHotKey.reset();
    sessionWatch_.reset();
    settingsEvents_.reset();
    watchThread_.reset();
    Trayicon1.reset();
    if (window_)
        DestroyWindow(window_);
    if (trayPicture_)
        DestroyIcon(trayPicture_);
}

bool Resident::start(std::string *error)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = ResidentWindow::procedure;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        *error = "cannot register the program's window class";
        return false;
    }
    // Top-level, so that Explorer's "TaskbarCreated" reaches it; a tool
    // window, so that it never gets a task-bar button.
    window_ = CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, L"Vantrel", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              instance, this);
    if (!window_) {
        *error = "cannot make the program's window";
        return false;
    }

    watchThread_ = std::make_unique<EventWatchThread>(window_);

    if (createWindows)
        createWindows(window_);
    // Watched before it is read, so that no change made in between is missed.
    startWatchingSettings();
    loadBindings();
    startWatchingKeys();
    if (services_.session && services_.session->wakeupEvent())
        sessionWatch_ = watchEvent(*watchThread_, services_.session->wakeupEvent(), kSessionMessage,
                                   "for requests of other copies; starting Vantrel again shows nothing");

    // Last: the icon tells the user that the program is ready.
    trayPicture_ = loadTrayPicture(instance);
    const auto tip = design::frmConfig::trayTip();
    Trayicon1 = std::make_unique<TrayIcon>(window_, kTrayMessage, trayPicture_, std::wstring(tip.begin(), tip.end()));
    if (!Trayicon1->add())
        printDiagnostic("vantrel: the notification area refused the icon; it comes when Explorer restarts");
    return true;
}

void Resident::startWatchingKeys()
{
    std::string error;
    if (!poller_.start(&error)) {
        printDiagnostic("vantrel: not watching F6 to F12: " + error);
        return;
    }
    tmrHotKey =
        watchEvent(*watchThread_, services_.keys.wakeup().event, kKeysMessage, "the keys; F6 to F12 open nothing");
    // Presses may have come between the start and the watch.
    tmrHotKey_Timer();
}

void Resident::startWatchingSettings()
{
    std::string error;
    const SettingsKey &key = bindings_.settingsKey();
    settingsWatch_ = services_.registry.watchKey(key.root, key.path, &error);
    if (!settingsWatch_) {
        printDiagnostic("vantrel: " + error + "; settings changed outside Vantrel show after a restart");
        return;
    }
    settingsEvents_ = watchEvent(*watchThread_, settingsWatch_->wakeup().event, kSettingsMessage,
                                 "the settings; settings changed outside Vantrel show after a restart");
}

void Resident::loadBindings()
{
    const auto loaded = bindings_.load(services_.registry);
    if (!loaded.ok)
        printDiagnostic("vantrel: " + loaded.reason + "; the keys keep their bindings until it can be read");
}

void Resident::tmrHotKey_Timer()
{
    if (!tmrHotKey)
        return;
    tmrHotKey->rearm();
    if (poller_.tick())
        return;
    printDiagnostic("vantrel: lost the key source; F6 to F12 no longer open anything");
    tmrHotKey.reset();
}

void Resident::takeSessionRequests()
{
    sessionWatch_->rearm();
    const auto requests = services_.session->collect();
    for (const auto &press : requests.presses)
        press->answer(poller_.pressHandedOver(press->key()));
    if (requests.showConfiguration)
        mnuConfig_Click();
}

void Resident::settingsChanged()
{
    const bool changed = settingsWatch_->collect();
    settingsEvents_->rearm();
    if (changed)
        loadBindings();
}

void Resident::mnuConfig_Click()
{
    if (showConfiguration)
        showConfiguration();
}

void Resident::mnuView_Click()
{
    if (showKeyList)
        showKeyList();
}

void Resident::mnuExit_Click() { UnloadAllWindows(); }

void Resident::UnloadAllWindows()
{
    // Nothing is saved and nothing is asked.
    if (closeOtherWindows)
        closeOtherWindows();
    tmrHotKey.reset();
    Trayicon1.reset();
    DestroyWindow(window_);
}

void Resident::popUpMenu(int x, int y)
{
    HMENU mnuMain = CreatePopupMenu();
    if (!mnuMain)
        return;
    using namespace design::frmConfig;
    // Each item as designed; one whose window is missing is greyed out.
    for (const MenuItemDesign &item : menu()) {
        if (item.isSeparator()) {
            AppendMenuW(mnuMain, MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const std::wstring caption(item.caption.begin(), item.caption.end());
        const UINT_PTR command = item.name == mnuConfig ? kConfigureItem
                                 : item.name == mnuView ? kViewKeysItem
                                                        : kExitItem;
        const bool available = command == kConfigureItem  ? bool(showConfiguration)
                               : command == kViewKeysItem ? bool(showKeyList)
                                                          : true;
        AppendMenuW(mnuMain, MF_STRING | (available ? MF_ENABLED : MF_GRAYED), command, caption.c_str());
    }
    // Without the foreground the menu would not close on a click elsewhere;
    // the empty message afterwards lets it close at once (a known need of
    // tray menus).
    SetForegroundWindow(window_);
    const auto chosen = static_cast<UINT_PTR>(TrackPopupMenuEx(
        mnuMain, TPM_LEFTALIGN | TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, x, y, window_, nullptr));
    PostMessageW(window_, WM_NULL, 0, 0);
    DestroyMenu(mnuMain);
    switch (chosen) {
    case kConfigureItem:
        mnuConfig_Click();
        break;
    case kViewKeysItem:
        mnuView_Click();
        break;
    case kExitItem:
        mnuExit_Click();
        break;
    default:
        break;
    }
}

LRESULT CALLBACK ResidentWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto *creation = reinterpret_cast<const CREATESTRUCTW *>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto *resident = reinterpret_cast<Resident *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!resident)
        return DefWindowProcW(window, message, wParam, lParam);
    return handle(*resident, window, message, wParam, lParam);
}

LRESULT ResidentWindow::handle(Resident &resident, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case kKeysMessage:
        resident.tmrHotKey_Timer();
        return 0;
    case kSessionMessage:
        resident.takeSessionRequests();
        return 0;
    case kSettingsMessage:
        resident.settingsChanged();
        return 0;
    case kTrayMessage:
        switch (TrayIcon::eventOf(lParam)) {
        case TrayIcon::Event::Activate:
            resident.mnuConfig_Click();
            break;
        case TrayIcon::Event::Menu:
            resident.popUpMenu(static_cast<short>(LOWORD(wParam)), static_cast<short>(HIWORD(wParam)));
            break;
        case TrayIcon::Event::None:
            break;
        }
        return 0;
    case WM_CLOSE:
        // How the installer and the uninstaller ask a running copy to end
        // before they replace or remove its files: the end Exit makes.
        resident.mnuExit_Click();
        return 0;
    case WM_DESTROY:
        resident.window_ = nullptr;
        PostQuitMessage(0);
        return 0;
    default:
        if (message == TrayIcon::taskbarCreatedMessage() && resident.Trayicon1) {
            resident.Trayicon1->add();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace vantrel::win32_app
