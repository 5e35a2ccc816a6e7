#include "windows/win32/frmKeys.h"

#include "windows/design/frmKeys_design.h"

// After every header that sees the registry interface: see designed_window.h.
#include <windows.h>

#include <string>

namespace vantrel::win32_windows {

using namespace design::frmKeys;

frmKeys::frmKeys(const BindingSet &bindings, const platform::KeySource &keys, platform::Opener &opener)
    : DesignedView(design::frmKeys::window()), behaviour_(*this, bindings, keys, opener)
{
}

bool frmKeys::Form_Load(HWND__ *owner)
{
    if (!create(owner))
        return false;
    behaviour_.Form_Load();
    return true;
}

void frmKeys::show()
{
    ShowWindow(this->window(), SW_SHOW);
    SetForegroundWindow(this->window());
}

void frmKeys::addLine(std::u16string_view text, std::u16string_view)
{
    const std::wstring line(text.begin(), text.end());
    SendMessageW(control(lstKeys), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
}

std::optional<std::size_t> frmKeys::selectedLine() const
{
    const LRESULT selected = SendMessageW(control(lstKeys), LB_GETCURSEL, 0, 0);
    if (selected == LB_ERR)
        return std::nullopt;
    return static_cast<std::size_t>(selected);
}

void frmKeys::closeWindow() { destroy(); }

void frmKeys::onClick(design::ControlId control)
{
    if (control == cmdExecute)
        behaviour_.cmdExecute_Click();
    else if (control == cmdClose)
        behaviour_.cmdClose_Click();
}

void frmKeys::onSelect(design::ControlId control)
{
    if (control == lstKeys)
        behaviour_.lstKeys_Click();
}

void frmKeys::onMouseDown(design::ControlId control, design::MouseButton button)
{
    if (control == lstKeys)
        behaviour_.lstKeys_MouseDown(button);
}

// Escape leaves the window as Close does, as in every Windows dialog.
void frmKeys::onEscape() { behaviour_.cmdClose_Click(); }

} // namespace vantrel::win32_windows
