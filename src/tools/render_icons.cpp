// Build tool: draws the program's SVG icon into the PNG sizes of an icon
// theme, with the same renderer that draws it in the tray, so that the
// installed icon and the running program's look alike at every size.
//   vantrel-render-icons SOURCE.svg THEME_FOLDER ICON_NAME SIZE...
// writes THEME_FOLDER/<SIZE>x<SIZE>/apps/ICON_NAME.png for each size.

#include "platform/diagnostic.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <string>

int main(int argc, char *argv[])
{
    if (argc < 5) {
        vantrel::printDiagnostic(std::string("usage: ") + argv[0] + " SOURCE.svg THEME_FOLDER ICON_NAME SIZE...");
        return 2;
    }
    // Drawing needs no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);

    QSvgRenderer renderer(QString::fromLocal8Bit(argv[1]));
    if (!renderer.isValid()) {
        vantrel::printDiagnostic(std::string(argv[0]) + ": cannot read the SVG picture " + argv[1]);
        return 1;
    }
    const QString themeFolder = QString::fromLocal8Bit(argv[2]);
    const QString iconName = QString::fromLocal8Bit(argv[3]);
    for (int i = 4; i < argc; ++i) {
        bool isNumber = false;
        const int side = QString::fromLatin1(argv[i]).toInt(&isNumber);
        if (!isNumber || side <= 0 || side > 1024) {
            vantrel::printDiagnostic(std::string(argv[0]) + ": not an icon size: " + argv[i]);
            return 2;
        }
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(themeFolder).arg(side);
        QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            renderer.render(&painter);
        }
        const QString file = folder + QLatin1Char('/') + iconName + QLatin1String(".png");
        if (!QDir().mkpath(folder) || !image.save(file, "PNG")) {
            vantrel::printDiagnostic(std::string(argv[0]) + ": cannot write " + qPrintable(file));
            return 1;
        }
    }
    return 0;
}
