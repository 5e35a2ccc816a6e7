#pragma once

#include "bindings/binding_set.h"
#include "bindings/hot_key_poller.h"
#include "windows/qt/fixed_dialog.h"
#include "windows/qt/open_dialog.h"
#include "windows/qt/platform_services.h"

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSystemTrayIcon;

namespace vantrel {

class ClickableLabel;
class HotKeyTimer;

// The configuration window. It is also the start-up window: it owns the
// binding set, the hot key timer, the tray icon with its menu and the shared
// Open dialog, and lives, mostly hidden, for the whole run of the program.
class frmConfig : public FixedDialog {
    Q_OBJECT
public:
    using FunctionKey = platform::FunctionKey;

    frmConfig(PlatformServices services, std::unique_ptr<FilePicker> picker);
    ~frmConfig() override;

    // Start-up: the window's icon and frame, then the bindings from the
    // settings key. The window stays hidden.
    void Form_Load();

    // Where no tray shows up within the grace time, the window is shown
    // instead, so that a running Vantrel can always be reached. The tray
    // icon still appears if a tray comes up later.
    void showIfNoTrayWithin(std::chrono::milliseconds grace);

    // What "&View Keys" and a click on the banner open; set by the program.
    // Left unset, the menu item and the banner do nothing.
    std::function<void()> showKeyList;
    std::function<void()> showAbout;

    // Tray menu items and banner.
    void mnuConfig_Click();
    void mnuView_Click();
    void mnuExit_Click();
    void imgAbout_Click();

    // Every window of the program closes, the tray icon goes and the program
    // ends. Nothing is saved and nothing is asked.
    void UnloadAllWindows();

    // The rows, for the row of the given key.
    void cmdF_Click(FunctionKey key);
    void txtF_GotFocus(FunctionKey key);
    void cmdF_KeyDown(FunctionKey key, int keyCode);

    void cmdOK_Click();
    void cmdCancel_Click();

    // A press of a key that came from elsewhere than the key source (a
    // command the desktop runs): opens what the key would. Returns why
    // nothing is going to open, or the empty text.
    std::string handOverPress(FunctionKey key);

    BindingSet &bindings() { return bindings_; }
    bool isWatchingKeys() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    void createBanner();
    void createRows();
    void orderTabs();
    void createTray();
    void showRow(FunctionKey key);
    void showKeyTriggers();

    void startWatchingKeys();
    void stopWatchingKeys();
    bool tmrHotKey_Timer();

    void startWatchingSettings();
    void loadBindings();

    PlatformServices services_;
    BindingSet bindings_;
    HotKeyPoller poller_;
    HotKeyTimer *tmrHotKey = nullptr;
    std::unique_ptr<platform::RegistryWatch> settingsWatch_;
    std::unique_ptr<QObject> settingsNotifier_; // goes before the watch it listens to
    CommonDialog CD1;

    QFrame *imgLogo = nullptr;
    ClickableLabel *imgAbout = nullptr;
    QLabel *Image1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QGroupBox *Frame1 = nullptr;
    // One per row, indexed by slot: F6 first.
    std::array<QLabel *, platform::kFunctionKeyCount> Key{};
    std::array<QLineEdit *, platform::kFunctionKeyCount> txtF{};
    std::array<QPushButton *, platform::kFunctionKeyCount> cmdF{};
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

    QSystemTrayIcon *Trayicon1 = nullptr;
    QMenu *mnuMain = nullptr;
    QAction *mnuConfig = nullptr;
    QAction *mnuView = nullptr;
    QAction *sep1 = nullptr;
    QAction *mnuExit = nullptr;
};

} // namespace vantrel
