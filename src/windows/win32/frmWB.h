#pragma once

#include "platform/sound.h"
#include "windows/design/website_behaviour.h"
#include "windows/win32/designed_window.h"
#include "windows/win32/web_browser_host.h"

#include <functional>
#include <memory>
#include <string>

namespace vantrel::win32_windows {

// The website window with the Win32 API: the system's web browser control
// above the strip of buttons, sizable, with a task-bar button of its own.
// Where the control cannot be made, the window says so in its place. What
// it shows and does is its behaviour's.
class frmWB final : public DesignedView<design::WebsiteView> {
public:
    // sound must outlive the window.
    frmWB(std::u16string websiteAddress, platform::Sound &sound);
    ~frmWB() override;

    // Makes the window and the control, and goes to the website.
    bool Form_Load();
    void show();

    bool browserHosted() const { return browser_ && browser_->hosted(); }
    // The address of the last navigation the control began.
    const std::u16string &lastAddressAskedFor() const { return lastAddress_; }

    void navigate(std::u16string_view address) override;
    void goBack() override;
    void goForward() override;
    void stop() override;
    void refresh() override;
    std::u16string locationName() const override;
    void place(design::ControlId control, design::TwipsRect rect) override;
    void closeWindow() override { destroy(); }

    // Called when the window has gone, by Close or its close box.
    std::function<void()> closed;

private:
    void onClick(design::ControlId control) override;
    void onResized() override;
    bool onMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam, std::intptr_t *result) override;
    void hostBrowser();

    design::WebsiteBehaviour behaviour_;
    std::unique_ptr<WebBrowserHost> browser_;
    std::u16string lastAddress_;
};

} // namespace vantrel::win32_windows
