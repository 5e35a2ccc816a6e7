#include "tools/windows_icon.h"

#include <QtEndian>

namespace vantrel {

namespace {

constexpr int maxSide = 256;
constexpr int directorySize = 6 + 16; // the file's header and its one entry
constexpr int bitmapHeaderSize = 40;  // BITMAPINFOHEADER

// Rows of a bitmap are padded to whole 32-bit words.
int rowBytes(int side, int bitsPerPixel) { return (side * bitsPerPixel + 31) / 32 * 4; }

void append16(QByteArray &out, quint16 value)
{
    const quint16 little = qToLittleEndian(value);
    out.append(reinterpret_cast<const char *>(&little), sizeof little);
}

void append32(QByteArray &out, quint32 value)
{
    const quint32 little = qToLittleEndian(value);
    out.append(reinterpret_cast<const char *>(&little), sizeof little);
}

} // namespace

QByteArray toIcoFile(const QImage &picture)
{
    const int side = picture.width();
    if (picture.isNull() || picture.height() != side || side > maxSide)
        return {};
    const QImage pixels = picture.convertToFormat(QImage::Format_ARGB32);
    const int colourRow = rowBytes(side, 24);
    const int maskRow = rowBytes(side, 1);
    const int imageSize = bitmapHeaderSize + side * (colourRow + maskRow);

    QByteArray out;
    out.reserve(directorySize + imageSize);
    append16(out, 0);                             // reserved
    append16(out, 1);                             // an icon, not a cursor
    append16(out, 1);                             // one picture
    out.append(char(side == maxSide ? 0 : side)); // 0 stands for 256
    out.append(char(side == maxSide ? 0 : side));
    out.append(char(0)); // no palette
    out.append(char(0));
    append16(out, 1);  // colour planes
    append16(out, 24); // bits a pixel
    append32(out, quint32(imageSize));
    append32(out, quint32(directorySize));

    append32(out, bitmapHeaderSize);
    append32(out, quint32(side));
    append32(out, quint32(side * 2)); // the colours and the mask, one above the other
    append16(out, 1);
    append16(out, 24);
    append32(out, 0); // uncompressed
    append32(out, quint32(side * (colourRow + maskRow)));
    append32(out, 0); // no preferred resolution
    append32(out, 0);
    append32(out, 0); // no palette
    append32(out, 0);

    // Bitmaps run bottom-up. A transparent pixel is black in the colours, so
    // that the screen behind shows through unchanged.
    const auto transparent = [&pixels](int x, int y) { return qAlpha(pixels.pixel(x, y)) < 128; };
    for (int y = side - 1; y >= 0; --y) {
        QByteArray row(colourRow, '\0');
        for (int x = 0; x < side; ++x) {
            if (transparent(x, y))
                continue;
            const QRgb pixel = pixels.pixel(x, y);
            row[3 * x] = char(qBlue(pixel));
            row[3 * x + 1] = char(qGreen(pixel));
            row[3 * x + 2] = char(qRed(pixel));
        }
        out.append(row);
    }
    for (int y = side - 1; y >= 0; --y) {
        QByteArray row(maskRow, '\0');
        for (int x = 0; x < side; ++x)
            if (transparent(x, y))
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        out.append(row);
    }
    return out;
}

} // namespace vantrel
