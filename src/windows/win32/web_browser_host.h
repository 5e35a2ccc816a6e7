#pragma once

#include <functional>
#include <memory>
#include <string>

struct HWND__;

namespace vantrel::win32_windows {

// The system's web browser control (CLSID_WebBrowser, IWebBrowser2) in place
// in a window, filling its client area, with its events handed on. Where
// the system cannot make the control, nothing is hosted and failure() says
// why.
class WebBrowserHost {
public:
    struct Events {
        // A navigation begins, to this address.
        std::function<void(const std::u16string &address)> beforeNavigate;
        std::function<void(int command, bool enabled)> commandStateChange;
        std::function<void()> documentComplete;
    };

    WebBrowserHost(HWND__ *parent, Events events);
    ~WebBrowserHost();
    WebBrowserHost(const WebBrowserHost &) = delete;
    WebBrowserHost &operator=(const WebBrowserHost &) = delete;

    bool hosted() const;
    // The system's error code when the control could not be made, else 0.
    long failure() const { return failure_; }

    void navigate(const std::u16string &address);
    void goBack();
    void goForward();
    void stop();
    void refresh();
    std::u16string locationName() const;
    // Follows the parent's client area.
    void fit();

private:
    class Site;
    HWND__ *const parent_;
    long failure_ = 0;
    bool oleJoined_ = false;
    Site *site_ = nullptr;
};

} // namespace vantrel::win32_windows
