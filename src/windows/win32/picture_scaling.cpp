#include "windows/win32/picture_scaling.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace vantrel::win32_windows {

namespace {

// The pixels of one row or column of the picture that one new pixel covers,
// each with the share of the new pixel it makes up.
struct Cover {
    int first = 0;
    std::vector<double> shares;
};

std::vector<Cover> covers(int from, int to)
{
    std::vector<Cover> result(static_cast<std::size_t>(to));
    const double step = static_cast<double>(from) / to;
    for (int target = 0; target < to; ++target) {
        const double begin = target * step;
        const double end = (target + 1) * step;
        Cover &cover = result[static_cast<std::size_t>(target)];
        cover.first = static_cast<int>(std::floor(begin));
        const int last = std::min(from, static_cast<int>(std::ceil(end)));
        for (int source = cover.first; source < last; ++source)
            cover.shares.push_back((std::min(end, source + 1.0) - std::max(begin, static_cast<double>(source))) / step);
    }
    return result;
}

using Colour = std::array<double, 3>;

Colour colourOf(std::uint32_t pixel)
{
    return {static_cast<double>((pixel >> 16) & 0xff), static_cast<double>((pixel >> 8) & 0xff),
            static_cast<double>(pixel & 0xff)};
}

std::uint32_t pixelOf(const Colour &colour)
{
    const auto channel = [](double value) {
        return static_cast<std::uint32_t>(std::clamp(std::lround(value), 0L, 255L));
    };
    return 0xff000000u | channel(colour[0]) << 16 | channel(colour[1]) << 8 | channel(colour[2]);
}

} // namespace

Pixels scaledByAreaAverage(const Pixels &picture, int width, int height)
{
    if (picture.width <= 0 || picture.height <= 0 || width <= 0 || height <= 0)
        return {};
    const std::vector<Cover> across = covers(picture.width, width);
    const std::vector<Cover> down = covers(picture.height, height);

    // Across first, every row of the picture, then down.
    std::vector<Colour> rows(static_cast<std::size_t>(width) * static_cast<std::size_t>(picture.height));
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < width; ++x) {
            const Cover &cover = across[static_cast<std::size_t>(x)];
            Colour sum{};
            for (std::size_t i = 0; i < cover.shares.size(); ++i) {
                const Colour colour =
                    colourOf(picture.values[static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) +
                                            static_cast<std::size_t>(cover.first) + i]);
                for (std::size_t c = 0; c < sum.size(); ++c)
                    sum[c] += colour[c] * cover.shares[i];
            }
            rows[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] = sum;
        }

    Pixels scaled{width, height,
                  std::vector<std::uint32_t>(static_cast<std::size_t>(width) * static_cast<std::size_t>(height))};
    for (int y = 0; y < height; ++y) {
        const Cover &cover = down[static_cast<std::size_t>(y)];
        for (int x = 0; x < width; ++x) {
            Colour sum{};
            for (std::size_t i = 0; i < cover.shares.size(); ++i) {
                const Colour &colour =
                    rows[(static_cast<std::size_t>(cover.first) + i) * static_cast<std::size_t>(width) +
                         static_cast<std::size_t>(x)];
                for (std::size_t c = 0; c < sum.size(); ++c)
                    sum[c] += colour[c] * cover.shares[i];
            }
            scaled.values[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
                pixelOf(sum);
        }
    }
    return scaled;
}

} // namespace vantrel::win32_windows
