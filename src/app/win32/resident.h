#pragma once

#include "bindings/binding_set.h"
#include "bindings/hot_key_poller.h"
#include "platform/key_source.h"
#include "platform/opener.h"
#include "platform/registry.h"
#include "platform/session_bus.h"

#include <functional>
#include <memory>
#include <string>

// This header stays free of <windows.h>: its macros (HKEY_CURRENT_USER,
// ERROR_SUCCESS, REG_SZ...) would clash with the registry interface's names
// in every file that includes both.
struct HWND__;
struct HICON__;

namespace vantrel::win32_app {

class EventWatch;
class EventWatchThread;
class TrayIcon;

// The resident part of Vantrel on Windows: the bindings, the keys that open
// them, the tray icon with its menu, the requests of other copies, and the
// end of the program. It lives in a hidden top-level window without a
// task-bar button, which the shell tells of tray clicks and of its own
// restart; the keys, the other copies and the settings reach it as
// messages, so that they are served in every message loop of the thread,
// the modal ones included.
class Resident {
public:
    struct Services {
        platform::Registry &registry;
        platform::KeySource &keys;
        platform::Opener &opener;
        platform::SessionBus *session; // null without one
    };

    Resident(Services services, SettingsPlaces settings);
    ~Resident();
    Resident(const Resident &) = delete;
    Resident &operator=(const Resident &) = delete;

    // Makes the window and the tray icon, reads the bindings and starts
    // watching the keys. False, with the reason, when the window cannot be
    // made; a key source that cannot start is reported and the program runs
    // on without keys, as it runs without a tray.
    bool start(std::string *error);

    BindingSet &bindings() { return bindings_; }
    HWND__ *window() const { return window_; }

    // Makes the program's windows, owned by the given hidden window (which
    // keeps them out of the task bar), before the bindings are read.
    std::function<void(HWND__ *owner)> createWindows;
    // What the menu's window items show; an item whose window is missing
    // is greyed out.
    std::function<void()> showConfiguration;
    std::function<void()> showKeyList;
    // Closes every other window of the program, before Exit ends it.
    std::function<void()> closeOtherWindows;

    // The tray's handlers.
    void mnuConfig_Click();
    void mnuView_Click();
    void mnuExit_Click();

private:
    friend struct ResidentWindow;

    void startWatchingKeys();
    void startWatchingSettings();
    void loadBindings();
    void tmrHotKey_Timer();
    void takeSessionRequests();
    void settingsChanged();
    void popUpMenu(int x, int y);
    void UnloadAllWindows();

    Services services_;
    BindingSet bindings_;
    HotKeyPoller poller_;
    HWND__ *window_ = nullptr;
    HICON__ *trayPicture_ = nullptr;
    std::unique_ptr<TrayIcon> Trayicon1;
    std::unique_ptr<EventWatchThread> watchThread_;
    std::unique_ptr<EventWatch> tmrHotKey;
    std::unique_ptr<EventWatch> sessionWatch_;
    std::unique_ptr<platform::RegistryWatch> settingsWatch_;
    std::unique_ptr<EventWatch> settingsEvents_;
};

} // namespace vantrel::win32_app
