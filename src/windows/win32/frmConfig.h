#pragma once

#include "windows/design/config_behaviour.h"
#include "windows/design/folder_check.h"
#include "windows/win32/designed_window.h"

#include <functional>

namespace vantrel::win32_windows {

// The configuration window with the Win32 API: the design's controls, the
// rows' Open dialog (GetOpenFileNameW), and the window menu without its
// Close command. It lives, mostly hidden, for the whole run; what it decides
// is its behaviour's.
class frmConfig final : public DesignedView<design::ConfigView> {
public:
    frmConfig(BindingSet &bindings, platform::Registry &registry, platform::KeySource &keys);

    // Makes the window, hidden; owner keeps it out of the task bar.
    bool Form_Load(HWND__ *owner);

    design::ConfigBehaviour &behaviour() { return behaviour_; }

    // The key list and about windows; a missing one is not offered.
    std::function<void()> showKeyList;
    std::function<void()> showAbout;

    design::OpenFileAnswer askFileToOpen(const design::OpenFileRequest &request) override;
    bool letEventsRunUntil(const std::function<bool()> &done, std::chrono::milliseconds limit) override;
    void showWindow() override;
    void hideWindow() override;
    void openKeyList() override;
    void openAbout() override;

private:
    void onClick(design::ControlId control) override;
    void onFocus(design::ControlId control) override;
    void onButtonKey(design::ControlId control, int keyCode) override;
    void onEscape() override;
    bool onClose() override;
    void trimWindowMenu();

    design::ThreadFolderCheck folders_;
    design::ConfigBehaviour behaviour_;
};

} // namespace vantrel::win32_windows
