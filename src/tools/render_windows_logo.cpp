// Build tool: draws the configuration window's banner picture as the bitmap
// that vantrel.exe carries, with the same drawing as the Linux windows show.
//   vantrel-render-windows-logo OUTPUT.bmp
// The bitmap is drawn for 192 DPI, twice the picture's size at 96 DPI: the
// windows scale it down to their own DPI, which keeps it sharp up to 200 %
// at a tenth of what a bitmap for each DPI would take.

#include "artwork/artwork.h"
#include "platform/diagnostic.h"

#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>

#include <string>

namespace {

constexpr qreal drawnForDevicePixelRatio = 2.0;

bool opaque(const QImage &picture)
{
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qAlpha(picture.pixel(x, y)) != 255)
                return false;
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        vantrel::printDiagnostic(std::string("usage: ") + argv[0] + " OUTPUT.bmp");
        return 2;
    }
    // Drawing needs no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);

    const QImage picture = vantrel::logoPicture(drawnForDevicePixelRatio).toImage();
    // Carried without its alpha, at three bytes a pixel: the picture paints
    // its own background.
    if (picture.isNull() || !opaque(picture)) {
        vantrel::printDiagnostic(std::string(argv[0]) + ": the logo is not an opaque picture");
        return 1;
    }
    QSaveFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || !picture.convertToFormat(QImage::Format_RGB32).save(&file, "BMP") ||
        !file.commit()) {
        vantrel::printDiagnostic(std::string(argv[0]) + ": cannot write " + argv[1]);
        return 1;
    }
    return 0;
}
