#include "windows/win32/frmAbout.h"

#include "windows/design/frmAbout_design.h"

// After every header that sees the registry interface: see designed_window.h.
#include <windows.h>

namespace vantrel::win32_windows {

using namespace design::frmAbout;

frmAbout::frmAbout(platform::Opener &opener, std::function<void()> showWebsite)
    : DesignedView(design::frmAbout::window()), showWebsite_(std::move(showWebsite)), behaviour_(*this, opener)
{
}

bool frmAbout::Form_Load(HWND__ *owner)
{
    if (!create(owner))
        return false;
    behaviour_.Form_Load();
    return true;
}

void frmAbout::show()
{
    ShowWindow(this->window(), SW_SHOW);
    SetForegroundWindow(this->window());
    focus(cmdOK);
}

void frmAbout::openWebsite()
{
    if (showWebsite_)
        showWebsite_();
}

// Control counts as held when the key is down now or went down since the
// last look, as the asynchronous key state tells.
void frmAbout::onClick(design::ControlId control)
{
    if (control == cmdOK)
        behaviour_.cmdOK_Click();
    else if (control == cmdWebsite)
        behaviour_.cmdWebsite_Click();
    else if (control == imgImage)
        behaviour_.imgImage_Click(GetAsyncKeyState(VK_CONTROL) != 0);
    else if (control == Label4)
        behaviour_.Label4_Click();
}

// Escape leaves the window as OK does, as in every Windows dialog.
void frmAbout::onEscape() { behaviour_.cmdOK_Click(); }

} // namespace vantrel::win32_windows
