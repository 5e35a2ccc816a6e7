#pragma once

#include "windows/design/control_design.h"

// This header stays free of <windows.h>: see designed_window.h.
struct HBITMAP__;
struct HDC__;

namespace vantrel::win32_windows {

// The logo among vantrel.exe's resources, as its resource script names it:
// a 24-bit bitmap drawn for 192 DPI.
inline constexpr const wchar_t *kLogoName = L"VANTREL_LOGO";

// The logo's own size, in which an image that does not stretch it shows it:
// 64 by 128 pixels at 96 DPI.
inline constexpr design::TwipsSize kLogoSize{960, 1920};

// A bitmap of the program's own, deleted with the object.
class Bitmap {
public:
    Bitmap() = default;
    Bitmap(HBITMAP__ *handle, int width, int height) : handle_(handle), width_(width), height_(height) {}
    ~Bitmap();
    Bitmap(Bitmap &&other) noexcept;
    Bitmap &operator=(Bitmap &&other) noexcept;

    HBITMAP__ *handle() const { return handle_; }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    HBITMAP__ *handle_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// The logo at the size given in pixels, scaled from the one vantrel.exe (or
// the program it is linked into) carries; no bitmap where the program
// carries none or the system refused one, which is reported.
Bitmap logoBitmap(int width, int height);

// Draws the bitmap with its top left at the point; nothing for no bitmap.
void drawBitmap(HDC__ *dc, const Bitmap &bitmap, int left, int top);

} // namespace vantrel::win32_windows
