#include "window_test_support.h"

#include "windows/win32/message_pump.h"

#include <cmath>
#include <cstdlib>

namespace vantrel::test {

int expectedDpi()
{
    const char *dpi = std::getenv("VANTREL_TEST_DPI");
    return dpi ? std::atoi(dpi) : 96;
}

int pixels(int twips, int dpi) { return static_cast<int>(std::floor(twips * dpi / 1440.0 + 0.5)); }

RECT designedRect(const win32_windows::DesignedWindow &window, const design::ControlDesign &control, int dpi)
{
    POINT origin{0, 0};
    if (control.container) {
        const auto &holder = window.design().control(*control.container);
        if (holder.border == design::Border::None || holder.kind == design::ControlKind::Frame) {
            const RECT outer = designedRect(window, holder, dpi);
            origin = {outer.left, outer.top};
        } else {
            MapWindowPoints(window.control(holder.id), window.window(), &origin, 1);
        }
    }
    const int left = origin.x + pixels(control.rect.left, dpi);
    const int top = origin.y + pixels(control.rect.top, dpi);
    return {left, top, left + pixels(control.rect.width, dpi), top + pixels(control.rect.height, dpi)};
}

RECT actualRect(const win32_windows::DesignedWindow &window, HWND control)
{
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, window.window(), reinterpret_cast<POINT *>(&rect), 2);
    return rect;
}

std::vector<HWND> tabOrder(const win32_windows::DesignedWindow &window)
{
    std::vector<HWND> order;
    HWND first = GetNextDlgTabItem(window.window(), nullptr, FALSE);
    for (HWND control = first; control && order.size() < 64;) {
        order.push_back(control);
        control = GetNextDlgTabItem(window.window(), control, FALSE);
        if (control == first)
            break;
    }
    return order;
}

void pumpMessages() { win32_windows::pumpWaitingMessages(); }

std::wstring textOf(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    return text;
}

HWND hiddenOwner()
{
    static const HWND owner =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    return owner;
}

} // namespace vantrel::test
