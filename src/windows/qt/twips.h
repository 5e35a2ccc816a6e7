#pragma once

#include <QRect>
#include <QSize>

namespace vantrel {

// Window layouts are designed in twips; 15 twips make one logical pixel, and
// Qt scales logical pixels for high-DPI screens.
constexpr int twips(int value) { return (value + 7) / 15; }

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

constexpr QSize twipsSize(int width, int height) { return QSize(twips(width), twips(height)); }

} // namespace vantrel
