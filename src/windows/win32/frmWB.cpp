#include "windows/win32/frmWB.h"

#include "windows/design/frmWB_design.h"

// After every header that sees the registry interface: see designed_window.h.
#include "windows/win32/program_icon.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>

namespace vantrel::win32_windows {

using namespace design::frmWB;

namespace {

std::u16string cannotShowText(long failure)
{
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(failure));
    const std::string text = std::string("The website cannot be shown: this system could not start its web browser "
                                         "control (error ") +
                             code + ").";
    return {text.begin(), text.end()};
}

} // namespace

frmWB::frmWB(std::u16string websiteAddress, platform::Sound &sound)
    : DesignedView(design::frmWB::window()), behaviour_(*this, std::move(websiteAddress), sound)
{
}

// The control goes before the window that holds it.
frmWB::~frmWB() { browser_.reset(); }

bool frmWB::Form_Load()
{
    if (!create(nullptr))
        return false;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    HICON small = nullptr;
    HICON large = nullptr;
    if (SUCCEEDED(LoadIconMetric(instance, kProgramIconName, LIM_SMALL, &small)))
        SendMessageW(window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    if (SUCCEEDED(LoadIconMetric(instance, kProgramIconName, LIM_LARGE, &large)))
        SendMessageW(window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
    hostBrowser();
    behaviour_.Form_Resize(clientArea());
    behaviour_.Form_Load();
    return true;
}

void frmWB::hostBrowser()
{
    const HWND holder = control(WB1);
    // The control's window lies in the holder; the holder draws around it.
    SetWindowLongPtrW(holder, GWL_STYLE, GetWindowLongPtrW(holder, GWL_STYLE) | WS_CLIPCHILDREN);
    browser_ = std::make_unique<WebBrowserHost>(
        holder, WebBrowserHost::Events{
                    [this](const std::u16string &address) { lastAddress_ = address; },
                    [this](int command, bool enabled) { behaviour_.WB1_CommandStateChange(command, enabled); },
                    [this] { behaviour_.WB1_DocumentComplete(); }});
    if (!browser_->hosted())
        setText(WB1, cannotShowText(browser_->failure()));
}

void frmWB::show()
{
    ShowWindow(window(), SW_SHOW);
    SetForegroundWindow(window());
}

void frmWB::navigate(std::u16string_view address)
{
    if (browser_)
        browser_->navigate(std::u16string(address));
}

void frmWB::goBack()
{
    if (browser_)
        browser_->goBack();
}

void frmWB::goForward()
{
    if (browser_)
        browser_->goForward();
}

void frmWB::stop()
{
    if (browser_)
        browser_->stop();
}

void frmWB::refresh()
{
    if (browser_)
        browser_->refresh();
}

std::u16string frmWB::locationName() const { return browser_ ? browser_->locationName() : std::u16string(); }

void frmWB::place(design::ControlId control, design::TwipsRect rect)
{
    DesignedWindow::place(control, rect);
    if (control == WB1 && browser_)
        browser_->fit();
}

void frmWB::onClick(design::ControlId control)
{
    if (control == cmdMorvaskSite)
        behaviour_.cmdMorvaskSite_Click();
    else if (control == cmdBack)
        behaviour_.cmdBack_Click();
    else if (control == cmdForward)
        behaviour_.cmdForward_Click();
    else if (control == cmdStop)
        behaviour_.cmdStop_Click();
    else if (control == cmdRefresh)
        behaviour_.cmdRefresh_Click();
    else if (control == cmdClose)
        behaviour_.cmdClose_Click();
}

void frmWB::onResized() { behaviour_.Form_Resize(clientArea()); }

// The window goes no smaller than its layout allows; the control goes before
// the window that holds it.
bool frmWB::onMessage(unsigned message, std::uintptr_t, std::intptr_t lParam, std::intptr_t *)
{
    if (message == WM_DESTROY) {
        browser_.reset();
        if (closed)
            closed();
        return false;
    }
    if (message != WM_GETMINMAXINFO || !window())
        return false;
    const auto minimum = design::WebsiteBehaviour::minimumClientArea();
    const UINT dpi = GetDpiForWindow(window());
    RECT outer{0, 0, MulDiv(minimum.width, static_cast<int>(dpi), 1440),
               MulDiv(minimum.height, static_cast<int>(dpi), 1440)};
    AdjustWindowRectExForDpi(&outer, static_cast<DWORD>(GetWindowLongW(window(), GWL_STYLE)), FALSE,
                             static_cast<DWORD>(GetWindowLongW(window(), GWL_EXSTYLE)), dpi);
    auto *limits = reinterpret_cast<MINMAXINFO *>(lParam);
    limits->ptMinTrackSize = {outer.right - outer.left, outer.bottom - outer.top};
    return false;
}

} // namespace vantrel::win32_windows
