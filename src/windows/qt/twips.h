#pragma once

#include "windows/design/control_design.h"

#include <QRect>
#include <QSize>

namespace vantrel {

// Window layouts are designed in twips; 15 twips make one logical pixel, and
// Qt scales logical pixels for high-DPI screens.
constexpr int twips(int value) { return (value + 7) / design::kTwipsPerPixel; }

constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}
constexpr QRect twipsRect(design::TwipsRect rect) { return twipsRect(rect.left, rect.top, rect.width, rect.height); }

constexpr QSize twipsSize(int width, int height) { return QSize(twips(width), twips(height)); }
constexpr QSize twipsSize(design::TwipsSize size) { return twipsSize(size.width, size.height); }

// Logical pixels back to twips, for what the designs compute in twips.
constexpr design::TwipsSize pixelsToTwips(QSize size)
{
    return {size.width() * design::kTwipsPerPixel, size.height() * design::kTwipsPerPixel};
}

} // namespace vantrel
