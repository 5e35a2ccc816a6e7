#pragma once

#include <cstdint>
#include <vector>

namespace vantrel::win32_windows {

// An opaque picture, its rows from the top, each pixel 0xffRRGGBB: the
// layout of a 32-bit top-down device-independent bitmap.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> values;
};

// The picture at another size, each new pixel the average of the part of the
// picture it covers: what a good filter gives at every ratio, where the
// system's own stretching either drops pixels or smooths only some ratios.
Pixels scaledByAreaAverage(const Pixels &picture, int width, int height);

} // namespace vantrel::win32_windows
