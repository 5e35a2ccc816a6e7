#pragma once

#include "bindings/binding_set.h"
#include "bindings/hot_key_poller.h"
#include "windows/design/config_behaviour.h"
#include "windows/qt/fixed_dialog.h"
#include "windows/qt/open_dialog.h"
#include "windows/qt/platform_services.h"
#include "windows/qt/qt_window_view.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

class QMenu;
class QSystemTrayIcon;

namespace vantrel {

class HotKeyTimer;

// The configuration window, drawn by Qt; what its rows, OK and Cancel do is
// the behaviour's. It is also the start-up window: it owns the binding set,
// the hot key timer and the tray icon with its menu, and lives, mostly
// hidden, for the whole run of the program.
class frmConfig : public FixedDialog, private QtWindowView<design::ConfigView> {
    Q_OBJECT
public:
    using FunctionKey = platform::FunctionKey;

    frmConfig(PlatformServices services, std::unique_ptr<FilePicker> picker);
    ~frmConfig() override;

    // Start-up: the window's icon, then the bindings from the settings key.
    // The window stays hidden.
    void Form_Load();

    // Where no tray shows up within the grace time, the window is shown
    // instead, so that a running Vantrel can always be reached. The tray
    // icon still appears if a tray comes up later.
    void showIfNoTrayWithin(std::chrono::milliseconds grace);

    // What "&View Keys" and a click on the banner open; set by the program.
    // Left unset, the menu item and the banner do nothing.
    std::function<void()> showKeyList;
    std::function<void()> showAbout;

    void mnuConfig_Click() { behaviour_.mnuConfig_Click(); }
    void cmdF_Click(FunctionKey key) { behaviour_.cmdF_Click(key); }
    void cmdOK_Click() { behaviour_.cmdOK_Click(); }

    // Every window of the program closes, the tray icon goes and the program
    // ends. Nothing is saved and nothing is asked.
    void UnloadAllWindows();

    // A press of a key that came from elsewhere than the key source (a
    // command the desktop runs): opens what the key would. Returns why
    // nothing is going to open, or the empty text.
    std::string handOverPress(FunctionKey key);

    BindingSet &bindings() { return bindings_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    design::OpenFileAnswer askFileToOpen(const design::OpenFileRequest &request) override;
    bool letEventsRunUntil(const std::function<bool()> &done, std::chrono::milliseconds limit) override;
    void showWindow() override;
    void hideWindow() override { hide(); }
    void openKeyList() override;
    void openAbout() override;

    void connectControls();
    void createTray();

    void startWatchingKeys();
    void stopWatchingKeys();
    bool tmrHotKey_Timer();

    void startWatchingSettings();
    void loadBindings();

    PlatformServices services_;
    BindingSet bindings_;
    HotKeyPoller poller_;
    std::unique_ptr<FilePicker> picker_;
    design::ThreadFolderCheck places_;
    design::ConfigBehaviour behaviour_;
    bool ending_ = false;
    HotKeyTimer *tmrHotKey = nullptr;
    std::unique_ptr<platform::RegistryWatch> settingsWatch_;
    std::unique_ptr<QObject> settingsNotifier_; // goes before the watch it listens to

    QSystemTrayIcon *Trayicon1 = nullptr;
    QMenu *mnuMain = nullptr;
};

} // namespace vantrel
