#include "window_test_support.h"

#include "windows/win32/message_pump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

namespace {

// The window's client area as the screen shows it.
class ScreenCopy {
public:
    explicit ScreenCopy(HWND window)
    {
        UpdateWindow(window);
        pumpMessages();
        RECT client{};
        GetClientRect(window, &client);
        width_ = client.right;
        height_ = client.bottom;
        pixels_.resize(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_));
        HDC screen = GetDC(window);
        HDC memory = CreateCompatibleDC(screen);
        BITMAPINFO format{};
        format.bmiHeader = {sizeof format.bmiHeader, width_, -height_, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        void *bits = nullptr;
        HBITMAP copy = CreateDIBSection(screen, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
        const HGDIOBJ previous = SelectObject(memory, copy);
        BitBlt(memory, 0, 0, width_, height_, screen, 0, 0, SRCCOPY);
        GdiFlush();
        std::copy_n(static_cast<const std::uint32_t *>(bits), pixels_.size(), pixels_.begin());
        SelectObject(memory, previous);
        DeleteObject(copy);
        DeleteDC(memory);
        ReleaseDC(window, screen);
    }
    // 0xRRGGBB
    std::uint32_t at(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width_ || y >= height_)
            return 0xff000000u;
        return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] &
               0xffffff;
    }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
};

int red(std::uint32_t pixel) { return static_cast<int>(pixel >> 16 & 0xff); }
int green(std::uint32_t pixel) { return static_cast<int>(pixel >> 8 & 0xff); }
int blue(std::uint32_t pixel) { return static_cast<int>(pixel & 0xff); }

// The top of the logo's sky, #141438, give or take the scaling.
bool isNightSky(std::uint32_t pixel)
{
    return std::abs(red(pixel) - 0x14) <= 12 && std::abs(green(pixel) - 0x14) <= 12 &&
           std::abs(blue(pixel) - 0x38) <= 12;
}

bool isFlame(std::uint32_t pixel) { return red(pixel) >= 0xe0 && blue(pixel) <= 0x60; }

std::string hex(std::uint32_t pixel)
{
    char text[8];
    std::snprintf(text, sizeof text, "%06x", pixel);
    return text;
}

} // namespace

void expectShowsTheLogo(const win32_windows::DesignedWindow &window, int dpi)
{
    const ScreenCopy screen(window.window());
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const std::uint32_t background = GetRValue(face) << 16 | GetGValue(face) << 8 | GetBValue(face);
    int images = 0;
    for (const auto &control : window.design().controls) {
        if (control.picture != design::Picture::Logo)
            continue;
        ++images;
        SCOPED_TRACE(std::string(control.id.name));
        const RECT place = designedRect(window, control, dpi);
        const int middle = (place.left + place.right) / 2;
        EXPECT_PRED1(isNightSky, screen.at(place.left, place.top)) << hex(screen.at(place.left, place.top));
        EXPECT_PRED1(isNightSky, screen.at(place.right - 1, place.top)) << hex(screen.at(place.right - 1, place.top));
        EXPECT_EQ(hex(screen.at(place.left - 1, place.top)), hex(background));
        EXPECT_EQ(hex(screen.at(place.right, place.top)), hex(background));
        EXPECT_EQ(hex(screen.at(middle, place.top - 1)), hex(background));
        // The flame rises through the middle third of the picture.
        bool flame = false;
        const int height = place.bottom - place.top;
        for (int y = place.top + height / 3; y < place.top + 2 * height / 3 && !flame; ++y)
            for (int x = place.left; x < place.right && !flame; ++x)
                flame = isFlame(screen.at(x, y));
        EXPECT_TRUE(flame) << "no flame in the logo's middle";
    }
    EXPECT_GT(images, 0) << "the design shows no logo";
}

HWND hiddenOwner()
{
    static const HWND owner =
        CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    return owner;
}

} // namespace vantrel::test
