#include "windows/win32/message_box.h"

#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <string>
#include <type_traits>

namespace vantrel::win32_windows {

namespace {

constexpr UINT_PTR kEscapeSubclass = 1;

std::wstring wide(std::u16string_view text) { return {text.begin(), text.end()}; }

struct FontDeleter {
    void operator()(HFONT font) const { DeleteObject(font); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

// The window's device context with a font selected, for a measurement.
class MeasuringDc {
public:
    MeasuringDc(HWND window, HFONT font) : window_(window), dc_(GetDC(window)), previous_(SelectObject(dc_, font)) {}
    ~MeasuringDc()
    {
        SelectObject(dc_, previous_);
        ReleaseDC(window_, dc_);
    }
    MeasuringDc(const MeasuringDc &) = delete;
    MeasuringDc &operator=(const MeasuringDc &) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
    HGDIOBJ previous_;
};

struct BoxBeingShown {
    HHOOK hook = nullptr;
    std::wstring title;
    bool yesNo = false;
};
thread_local BoxBeingShown *shown = nullptr;

// A Yes/No box has no Cancel button, so the system ignores Escape there.
LRESULT CALLBACK escapeAnswersNo(HWND box, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        EndDialog(box, IDNO);
        return 0;
    }
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(box, escapeAnswersNo, kEscapeSubclass);
    return DefSubclassProc(box, message, wParam, lParam);
}

// The width the title needs in the title bar's font, with room for the
// window menu's icon, the close box and the frame.
int widthForTitle(HWND box, const std::wstring &title)
{
    const auto dpi = static_cast<int>(GetDpiForWindow(box));
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return 0;
    const UniqueFont font(CreateFontIndirectW(&metrics.lfCaptionFont));
    MeasuringDc dc(box, font.get());
    SIZE extent{};
    GetTextExtentPoint32W(dc.get(), title.c_str(), static_cast<int>(title.size()), &extent);
    return extent.cx +
           MulDiv(3 * GetSystemMetrics(SM_CXSIZE) + 4 * GetSystemMetrics(SM_CXFRAME), dpi > 0 ? dpi : 96, 96);
}

// Widens the box around its centre and moves its contents along.
void fitTitle(HWND box, const std::wstring &title)
{
    RECT frame;
    GetWindowRect(box, &frame);
    const int grow = widthForTitle(box, title) - (frame.right - frame.left);
    if (grow <= 0)
        return;
    SetWindowPos(box, nullptr, frame.left - grow / 2, frame.top, frame.right - frame.left + grow,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, box, reinterpret_cast<POINT *>(&rect), 2);
        SetWindowPos(child, nullptr, rect.left + grow / 2, rect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

LRESULT CALLBACK watchForBox(int code, WPARAM wParam, LPARAM lParam)
{
    BoxBeingShown *box = shown;
    if (box && code == HCBT_ACTIVATE) {
        const HWND window = reinterpret_cast<HWND>(wParam);
        fitTitle(window, box->title);
        if (box->yesNo)
            SetWindowSubclass(window, escapeAnswersNo, kEscapeSubclass, 0);
        UnhookWindowsHookEx(box->hook);
        box->hook = nullptr;
        return 0;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

design::MessageAnswer showMessageBox(HWND owner, const design::Message &message)
{
    const bool yesNo = message.buttons == design::MessageButtons::YesNo;
    BoxBeingShown box{nullptr, wide(message.title), yesNo};
    box.hook = SetWindowsHookExW(WH_CBT, watchForBox, nullptr, GetCurrentThreadId());
    BoxBeingShown *const outer = shown;
    shown = &box;
    const int answer = MessageBoxW(owner, wide(message.text).c_str(), box.title.c_str(), yesNo ? MB_YESNO : MB_OK);
    shown = outer;
    if (box.hook)
        UnhookWindowsHookEx(box.hook);
    switch (answer) {
    case IDOK:
        return design::MessageAnswer::Ok;
    case IDYES:
        return design::MessageAnswer::Yes;
    case IDNO:
        return design::MessageAnswer::No;
    default:
        return design::MessageAnswer::None;
    }
}

} // namespace vantrel::win32_windows
