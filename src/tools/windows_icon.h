#pragma once

#include <QByteArray>
#include <QImage>

namespace vantrel {

// One square picture, at most 256 pixels a side, as a Windows .ico file the
// way classic programs carry their icon: 24 bits a pixel, and a mask that
// marks the pixels less than half opaque as transparent. Empty for a picture
// that is not square or too large.
QByteArray toIcoFile(const QImage &picture);

} // namespace vantrel
