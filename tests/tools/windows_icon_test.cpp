// The program's icon as the .ico file of its Windows version record, read
// back with Qt's own .ico reader, and its directory and masks as Windows
// reads them.

#include "tools/windows_icon.h"

#include <QBuffer>
#include <QImageReader>
#include <QTest>
#include <QtEndian>

using vantrel::toIcoFile;

namespace {

quint16 at16(const QByteArray &data, int offset) { return qFromLittleEndian<quint16>(data.constData() + offset); }
quint32 at32(const QByteArray &data, int offset) { return qFromLittleEndian<quint32>(data.constData() + offset); }

struct Entry {
    int side;
    int bitsPerPixel;
    QByteArray image;
};

std::vector<Entry> directory(const QByteArray &ico)
{
    std::vector<Entry> entries;
    for (int i = 0; i < at16(ico, 4); ++i) {
        const int at = 6 + 16 * i;
        const int side = quint8(ico[at]) == 0 ? 256 : quint8(ico[at]);
        entries.push_back({side, at16(ico, at + 6), ico.mid(int(at32(ico, at + 12)), int(at32(ico, at + 8)))});
    }
    return entries;
}

// Whether the mask marks the pixel transparent: rows of whole 32-bit words,
// bottom-up, after the colours.
bool masked(const Entry &entry, int x, int y)
{
    const int side = entry.side;
    const int offset = 40 + side * side * 4 + (side - 1 - y) * ((side + 31) / 32 * 4) + x / 8;
    return (quint8(entry.image.at(offset)) & (0x80 >> (x % 8))) != 0;
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

std::vector<QImage> readBack(QByteArray ico)
{
    QBuffer buffer(&ico);
    QImageReader reader(&buffer, "ico");
    std::vector<QImage> images;
    for (int i = 0; i < reader.imageCount(); ++i) {
        reader.jumpToImage(i);
        images.push_back(reader.read().convertToFormat(QImage::Format_ARGB32));
    }
    return images;
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

    // Every size in one file, each where its directory entry says, and the
    // largest as PNG.
    void everySizeInOneFile()
    {
        const std::vector<int> sides = {16, 13, 32, 256};
        std::vector<QImage> pictures;
        for (const int side : sides)
            pictures.push_back(picture(side));
        const QByteArray ico = toIcoFile(pictures);
        QCOMPARE(at16(ico, 2), 1); // an icon
        const auto entries = directory(ico);
        QCOMPARE(entries.size(), sides.size());
        qsizetype end = 6 + 16 * qsizetype(sides.size());
        for (std::size_t i = 0; i < sides.size(); ++i) {
            QCOMPARE(entries[i].side, sides[i]);
            QCOMPARE(entries[i].bitsPerPixel, 32);
            end += entries[i].image.size();
        }
        QCOMPARE(end, ico.size());
        QVERIFY(entries[3].image.startsWith("\x89PNG"));
        QCOMPARE(at32(entries[0].image, 0), 40u); // a bitmap header
        QCOMPARE(at32(entries[0].image, 8), 32u); // the colours and the mask
    }

    void readsBackAsDrawn_data()
    {
        QTest::addColumn<int>("side");
        QTest::newRow("32") << 32;
        QTest::newRow("odd side, padded mask rows") << 13;
        QTest::newRow("256, as PNG") << 256;
    }
    void readsBackAsDrawn()
    {
        QFETCH(int, side);
        const QImage drawn = picture(side);
        const auto read = readBack(toIcoFile({drawn}));
        QCOMPARE(read.size(), std::size_t(1));
        QCOMPARE(read[0].size(), drawn.size());
        for (const QPoint at : {QPoint(0, 0), QPoint(side / 2 - 1, side - 1), QPoint(side - 1, side - 1),
                                QPoint(side - 1, 0), QPoint(side / 2, 0)})
            QCOMPARE(read[0].pixel(at), drawn.pixel(at));
    }

    void maskMarksWhatIsLessThanHalfOpaque()
    {
        const Entry entry = directory(toIcoFile({picture(13)}))[0];
        QVERIFY(!masked(entry, 0, 0));
        QVERIFY(!masked(entry, 5, 12));
        QVERIFY(!masked(entry, 12, 12));
        QVERIFY(masked(entry, 6, 0));
        QVERIFY(masked(entry, 12, 0));
        QVERIFY(masked(entry, 6, 12));
    }

    void onlyDistinctSquaresUpTo256()
    {
        QVERIFY(toIcoFile({}).isEmpty());
        QVERIFY(toIcoFile({QImage()}).isEmpty());
        QVERIFY(toIcoFile({QImage(32, 16, QImage::Format_ARGB32)}).isEmpty());
        QVERIFY(toIcoFile({QImage(257, 257, QImage::Format_ARGB32)}).isEmpty());
        QVERIFY(toIcoFile({picture(32), picture(32)}).isEmpty());
    }
};

QTEST_GUILESS_MAIN(WindowsIconTest)

#include "windows_icon_test.moc"
