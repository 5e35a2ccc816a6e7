#pragma once

#include <QByteArray>
#include <QImage>
#include <vector>

namespace vantrel {

// Square pictures of the same artwork, at most 256 pixels a side each, as one
// Windows .ico file, so that the shell can take the size it asks for instead
// of scaling one: 32 bits a pixel with their alpha, a mask beside the colours
// for the programs that still read it (the pixels less than half opaque), and
// the 256-pixel picture, which only PNG keeps small, as PNG the way Windows
// reads it. Empty where a picture is not square or too large, or two have
// the same size.
QByteArray toIcoFile(const std::vector<QImage> &pictures);

} // namespace vantrel
