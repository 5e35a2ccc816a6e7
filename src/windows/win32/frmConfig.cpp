#include "windows/win32/frmConfig.h"

#include "windows/design/frmConfig_design.h"

// After every header that sees the registry interface: see designed_window.h.
#include "windows/win32/message_pump.h"
#include "windows/win32/program_icon.h"

#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

#include <chrono>
#include <string>
#include <vector>

namespace vantrel::win32_windows {

using namespace design::frmConfig;
using platform::FunctionKey;

namespace {

// Paths of any length: the dialog writes the chosen one here.
constexpr std::size_t kPathRoom = 1 << 16;

std::wstring wide(std::u16string_view text) { return {text.begin(), text.end()}; }

std::optional<FunctionKey> rowOf(design::ControlId control, design::ControlId (*ofKey)(FunctionKey))
{
    for (const auto key : platform::kFunctionKeys)
        if (ofKey(key) == control)
            return key;
    return std::nullopt;
}

} // namespace

frmConfig::frmConfig(BindingSet &bindings, platform::Registry &registry, platform::KeySource &keys)
    : DesignedView(design::frmConfig::window()), behaviour_(*this, bindings, registry, keys, folders_)
{
}

bool frmConfig::Form_Load(HWND__ *owner)
{
    if (!create(owner))
        return false;
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    HICON small = nullptr;
    HICON large = nullptr;
    LoadIconMetric(instance, kProgramIconName, LIM_SMALL, &small);
    LoadIconMetric(instance, kProgramIconName, LIM_LARGE, &large);
    SendMessageW(this->window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    SendMessageW(this->window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large));
    // The window menu is trimmed while the window is hidden: Windows allows
    // it, and showing the window for it would only flash it on the screen.
    trimWindowMenu();
    return true;
}

// On Windows the last two items of the window menu are its Close command
// and the separator above it: without them the window is left through OK or
// Cancel. Wine puts items of its own after Close, so the two are found from
// Close, wherever it is.
void frmConfig::trimWindowMenu()
{
    HMENU menu = GetSystemMenu(this->window(), FALSE);
    if (!menu)
        return;
    const int count = GetMenuItemCount(menu);
    if (count <= 0)
        return;
    int close = count - 1;
    for (int position = 0; position < count; ++position)
        if (GetMenuItemID(menu, position) == SC_CLOSE)
            close = position;
    RemoveMenu(menu, static_cast<UINT>(close), MF_BYPOSITION | MF_REMOVE);
    if (close > 0)
        RemoveMenu(menu, static_cast<UINT>(close - 1), MF_BYPOSITION | MF_REMOVE);
    DrawMenuBar(this->window());
}

design::OpenFileAnswer frmConfig::askFileToOpen(const design::OpenFileRequest &request)
{
    // "All Files", then its pattern, each ended by a NUL, and a NUL after all.
    std::wstring filter = wide(request.filterName);
    filter += L'\0';
    filter += L"*.*";
    filter += L'\0';
    const std::wstring title = wide(request.title);
    const std::wstring folder = wide(request.startFolder);
    std::vector<wchar_t> file(kPathRoom, L'\0');
    const std::wstring start = wide(request.startName);
    if (start.size() < file.size())
        std::copy(start.begin(), start.end(), file.begin());

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = this->window();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = title.c_str();
    // The dialog as it comes, in the Explorer style: a name typed for a file
    // that does not exist yet is taken, the read-only box is offered, and
    // the working directory follows the folder of the chosen file.
    dialog.Flags = OFN_EXPLORER;
    if (GetOpenFileNameW(&dialog)) {
        const std::wstring chosen(file.data());
        return {design::OpenFileAnswer::Outcome::Chosen, std::u16string(chosen.begin(), chosen.end())};
    }
    return {CommDlgExtendedError() == 0 ? design::OpenFileAnswer::Outcome::Cancelled
                                        : design::OpenFileAnswer::Outcome::Failed,
            {}};
}

bool frmConfig::letEventsRunUntil(const std::function<bool()> &done, std::chrono::milliseconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < deadline) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        if (!pumpWaitingMessages())
            break;
    }
    return done();
}

void frmConfig::showWindow()
{
    ShowWindow(this->window(), SW_SHOW);
    SetForegroundWindow(this->window());
}

void frmConfig::hideWindow() { ShowWindow(this->window(), SW_HIDE); }

void frmConfig::openKeyList()
{
    if (showKeyList)
        showKeyList();
}

void frmConfig::openAbout()
{
    if (showAbout)
        showAbout();
}

void frmConfig::onClick(design::ControlId control)
{
    if (control == cmdOK)
        behaviour_.cmdOK_Click();
    else if (control == cmdCancel)
        behaviour_.cmdCancel_Click();
    else if (control == imgAbout)
        behaviour_.imgAbout_Click();
    else if (const auto key = rowOf(control, cmdF))
        behaviour_.cmdF_Click(*key);
}

void frmConfig::onFocus(design::ControlId control)
{
    if (const auto key = rowOf(control, txtF))
        behaviour_.txtF_GotFocus(*key);
}

void frmConfig::onButtonKey(design::ControlId control, int keyCode)
{
    if (const auto key = rowOf(control, cmdF))
        behaviour_.cmdF_KeyDown(*key, keyCode);
}

// Escape leaves the window as Cancel does, as in every Windows dialog.
void frmConfig::onEscape() { behaviour_.cmdCancel_Click(); }

// The window has no Close command; Alt+F4 does nothing either.
bool frmConfig::onClose() { return true; }

} // namespace vantrel::win32_windows
