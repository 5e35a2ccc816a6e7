#include "tools/windows_icon.h"

#include <QBuffer>
#include <QSet>
#include <QtEndian>

namespace vantrel {

namespace {

constexpr int maxSide = 256;
constexpr int headerSize = 6;
constexpr int entrySize = 16;
constexpr int bitmapHeaderSize = 40; // BITMAPINFOHEADER

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

QByteArray png(const QImage &pixels)
{
    QByteArray out;
    QBuffer buffer(&out);
    if (!buffer.open(QIODevice::WriteOnly) || !pixels.save(&buffer, "PNG"))
        return {};
    return out;
}

// The colours with their alpha, straight rather than premultiplied, and the
// mask; rows bottom-up. A transparent pixel is black under its mask bit, so
// that a program that draws through the mask leaves the screen unchanged.
QByteArray bitmap(const QImage &pixels)
{
    const int side = pixels.width();
    const int colourRow = rowBytes(side, 32);
    const int maskRow = rowBytes(side, 1);
    QByteArray out;
    out.reserve(bitmapHeaderSize + side * (colourRow + maskRow));
    append32(out, bitmapHeaderSize);
    append32(out, quint32(side));
    append32(out, quint32(side * 2)); // the colours and the mask, one above the other
    append16(out, 1);
    append16(out, 32);
    append32(out, 0); // uncompressed
    append32(out, quint32(side * (colourRow + maskRow)));
    append32(out, 0); // no preferred resolution
    append32(out, 0);
    append32(out, 0); // no palette
    append32(out, 0);

    const auto transparent = [&pixels](int x, int y) { return qAlpha(pixels.pixel(x, y)) < 128; };
    for (int y = side - 1; y >= 0; --y) {
        QByteArray row(colourRow, '\0');
        for (int x = 0; x < side; ++x) {
            const QRgb pixel = pixels.pixel(x, y);
            if (qAlpha(pixel) == 0)
                continue;
            row[4 * x] = char(qBlue(pixel));
            row[4 * x + 1] = char(qGreen(pixel));
            row[4 * x + 2] = char(qRed(pixel));
            row[4 * x + 3] = char(qAlpha(pixel));
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

} // namespace

QByteArray toIcoFile(const std::vector<QImage> &pictures)
{
    QSet<int> sides;
    std::vector<QByteArray> images;
    for (const QImage &picture : pictures) {
        const int side = picture.width();
        if (picture.isNull() || picture.height() != side || side > maxSide || sides.contains(side))
            return {};
        sides.insert(side);
        const QImage pixels = picture.convertToFormat(QImage::Format_ARGB32);
        images.push_back(side == maxSide ? png(pixels) : bitmap(pixels));
        if (images.back().isEmpty())
            return {};
    }
    if (images.empty())
        return {};

    QByteArray out;
    append16(out, 0); // reserved
    append16(out, 1); // an icon, not a cursor
    append16(out, quint16(images.size()));
    quint32 offset = headerSize + entrySize * quint32(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const int side = pictures[i].width();
        out.append(char(side == maxSide ? 0 : side)); // 0 stands for 256
        out.append(char(side == maxSide ? 0 : side));
        out.append(char(0)); // no palette
        out.append(char(0));
        append16(out, 1);  // colour planes
        append16(out, 32); // bits a pixel
        append32(out, quint32(images[i].size()));
        append32(out, offset);
        offset += quint32(images[i].size());
    }
    for (const QByteArray &image : images)
        out.append(image);
    return out;
}

} // namespace vantrel
