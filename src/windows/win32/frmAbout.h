#pragma once

#include "platform/opener.h"
#include "windows/design/about_behaviour.h"
#include "windows/win32/designed_window.h"

#include <functional>

namespace vantrel::win32_windows {

// The about window with the Win32 API: name, logo, rights notice, version
// line, credits, the mail link, Website and OK. Made afresh for each showing
// after OK destroyed it; what it decides is its behaviour's.
class frmAbout final : public DesignedView<design::AboutView> {
public:
    // opener must outlive the window; showWebsite shows the website window.
    frmAbout(platform::Opener &opener, std::function<void()> showWebsite);

    // Makes the window with its version line; owner keeps it out of the task
    // bar.
    bool Form_Load(HWND__ *owner);
    // Shows it in front, OK with the focus.
    void show();

    void openWebsite() override;
    void closeWindow() override { destroy(); }

private:
    void onClick(design::ControlId control) override;
    void onEscape() override;

    std::function<void()> showWebsite_;
    design::AboutBehaviour behaviour_;
};

} // namespace vantrel::win32_windows
