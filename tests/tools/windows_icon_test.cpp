// The program's icon as the .ico file of its Windows version record, its
// colours read back with Qt's own .ico reader.

#include "tools/windows_icon.h"

#include <QBuffer>
#include <QImageReader>
#include <QTest>
#include <QtEndian>

using vantrel::toIcoFile;

namespace {

quint16 at16(const QByteArray &data, int offset) { return qFromLittleEndian<quint16>(data.constData() + offset); }
quint32 at32(const QByteArray &data, int offset) { return qFromLittleEndian<quint32>(data.constData() + offset); }

// The colours as Qt's .ico reader sees them; it leaves the mask of a 24-bit
// picture unread.
QImage readColours(QByteArray data)
{
    QBuffer buffer(&data);
    QImageReader reader(&buffer, "ico");
    return reader.read().convertToFormat(QImage::Format_RGB32);
}

// Whether the mask marks the pixel transparent: rows of whole 32-bit words,
// bottom-up, after the colours.
bool masked(const QByteArray &ico, int side, int x, int y)
{
    const int colourRow = (side * 24 + 31) / 32 * 4;
    const int maskRow = (side + 31) / 32 * 4;
    const int offset = 22 + 40 + side * colourRow + (side - 1 - y) * maskRow + x / 8;
    return (quint8(ico.at(offset)) & (0x80 >> (x % 8))) != 0;
}

// Opaque red on the left, transparent on the right; one pixel each just
// under and just over half opaque.
QImage picture(int side)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side / 2; ++x)
            image.setPixel(x, y, qRgba(200, 10, 20, 255));
    image.setPixel(side - 1, 0, qRgba(0, 0, 255, 127));
    image.setPixel(side - 1, side - 1, qRgba(0, 255, 0, 128));
    return image;
}

} // namespace

class WindowsIconTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        if (!QImageReader::supportedImageFormats().contains("ico"))
            QSKIP("Qt's .ico reader is not installed");
    }

    void oneClassicPicture()
    {
        const QByteArray ico = toIcoFile(picture(32));
        QVERIFY(ico.size() > 22);
        QCOMPARE(at16(ico, 2), 1); // an icon
        QCOMPARE(at16(ico, 4), 1); // one picture
        QCOMPARE(quint8(ico[6]), 32);
        QCOMPARE(at16(ico, 12), 24); // bits a pixel
        // 32 rows of 96 colour bytes and 4 mask bytes after the bitmap header.
        QCOMPARE(at32(ico, 14), 40u + 32u * (96u + 4u));
        QCOMPARE(qsizetype(at32(ico, 18) + at32(ico, 14)), ico.size());
        QCOMPARE(at16(ico, 22 + 14), 24);
    }

    void readsBackAsDrawn_data()
    {
        QTest::addColumn<int>("side");
        QTest::newRow("32") << 32;
        QTest::newRow("odd side, padded rows") << 13;
        QTest::newRow("256, written as 0") << 256;
    }
    void readsBackAsDrawn()
    {
        QFETCH(int, side);
        const QImage drawn = picture(side);
        const QByteArray ico = toIcoFile(drawn);
        const QImage read = readColours(ico);
        QCOMPARE(read.size(), drawn.size());
        QCOMPARE(read.pixel(0, 0), drawn.pixel(0, 0));
        QCOMPARE(read.pixel(side / 2 - 1, side - 1), drawn.pixel(side / 2 - 1, side - 1));
        QCOMPARE(read.pixel(side - 1, side - 1), qRgb(0, 255, 0));
        // Transparent pixels are black under their mask bit, so that the
        // screen shows through them unchanged.
        QCOMPARE(read.pixel(side / 2, 0), qRgb(0, 0, 0));
        QCOMPARE(read.pixel(side - 1, 0), qRgb(0, 0, 0));
        QVERIFY(!masked(ico, side, 0, 0));
        QVERIFY(!masked(ico, side, side / 2 - 1, side - 1));
        QVERIFY(!masked(ico, side, side - 1, side - 1));
        QVERIFY(masked(ico, side, side / 2, 0));
        QVERIFY(masked(ico, side, side - 1, 0));
        QVERIFY(masked(ico, side, side / 2, side - 1));
    }

    void onlySquaresUpTo256()
    {
        QVERIFY(toIcoFile(QImage()).isEmpty());
        QVERIFY(toIcoFile(QImage(32, 16, QImage::Format_ARGB32)).isEmpty());
        QVERIFY(toIcoFile(QImage(257, 257, QImage::Format_ARGB32)).isEmpty());
    }
};

QTEST_GUILESS_MAIN(WindowsIconTest)

#include "windows_icon_test.moc"
