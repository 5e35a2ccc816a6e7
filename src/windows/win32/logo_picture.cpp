#include "windows/win32/logo_picture.h"

#include "platform/diagnostic.h"
#include "windows/win32/picture_scaling.h"

#include <windows.h>

#include <cstring>
#include <utility>

namespace vantrel::win32_windows {

namespace {

// The carried picture: a packed bitmap as a resource script stores a .bmp
// file, its header and then its rows, from the bottom.
Pixels carriedLogo()
{
    const HMODULE program = GetModuleHandleW(nullptr);
    const HRSRC found = FindResourceW(program, kLogoName, RT_BITMAP);
    const HGLOBAL loaded = found ? LoadResource(program, found) : nullptr;
    const auto *bytes = static_cast<const unsigned char *>(loaded ? LockResource(loaded) : nullptr);
    if (!bytes || SizeofResource(program, found) < sizeof(BITMAPINFOHEADER))
        return {};
    BITMAPINFOHEADER header{};
    std::memcpy(&header, bytes, sizeof header);
    const int width = header.biWidth;
    const int height = header.biHeight;
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    if (header.biBitCount != 24 || header.biCompression != BI_RGB || width <= 0 || height <= 0 ||
        SizeofResource(program, found) < header.biSize + rowBytes * static_cast<std::size_t>(height))
        return {};
    Pixels picture{width, height, std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
    const unsigned char *rows = bytes + header.biSize;
    for (int y = 0; y < height; ++y) {
        const unsigned char *row = rows + rowBytes * static_cast<std::size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const unsigned char *pixel = row + 3 * static_cast<std::size_t>(x);
            picture.values[static_cast<std::size_t>(y) * width + x] =
                0xff000000u | std::uint32_t{pixel[2]} << 16 | std::uint32_t{pixel[1]} << 8 | pixel[0];
        }
    }
    return picture;
}

} // namespace

Bitmap::~Bitmap()
{
    if (handle_)
        DeleteObject(handle_);
}

Bitmap::Bitmap(Bitmap &&other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), width_(other.width_), height_(other.height_)
{
}

Bitmap &Bitmap::operator=(Bitmap &&other) noexcept
{
    if (this != &other) {
        if (handle_)
            DeleteObject(handle_);
        handle_ = std::exchange(other.handle_, nullptr);
        width_ = other.width_;
        height_ = other.height_;
    }
    return *this;
}

Bitmap logoBitmap(int width, int height)
{
    if (width <= 0 || height <= 0)
        return {};
    const Pixels carried = carriedLogo();
    if (carried.values.empty()) {
        printDiagnostic("vantrel: the program carries no logo to show");
        return {};
    }
    const Pixels scaled = scaledByAreaAverage(carried, width, height);

    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height; // rows from the top, as Pixels has them
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HBITMAP made = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!made) {
        printDiagnostic("vantrel: no bitmap for the logo");
        return {};
    }
    std::memcpy(bits, scaled.values.data(), scaled.values.size() * sizeof scaled.values.front());
    return {made, width, height};
}

void drawBitmap(HDC__ *dc, const Bitmap &bitmap, int left, int top)
{
    if (!bitmap.handle())
        return;
    HDC memory = CreateCompatibleDC(dc);
    if (!memory)
        return;
    const HGDIOBJ previous = SelectObject(memory, bitmap.handle());
    BitBlt(dc, left, top, bitmap.width(), bitmap.height(), memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
}

} // namespace vantrel::win32_windows
