#include "artwork/artwork.h"
#include "platform/diagnostic.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

namespace vantrel {

namespace {

QImage render(const QString &source, QSize size)
{
    QSvgRenderer renderer(source);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (!renderer.isValid()) {
        printDiagnostic((QStringLiteral("vantrel: cannot draw ") + source).toLocal8Bit().toStdString());
        return image;
    }
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

} // namespace

QIcon programIcon()
{
    // Drawn at each size rather than scaled from one picture, so that the
    // small tray sizes stay sharp.
    QIcon icon;
    for (const int side : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addPixmap(QPixmap::fromImage(render(QStringLiteral(":/vantrel/vantrel.svg"), QSize(side, side))));
    return icon;
}

QPixmap logoPicture(qreal devicePixelRatio)
{
    const QSize logical(64, 128);
    QPixmap picture =
        QPixmap::fromImage(render(QStringLiteral(":/vantrel/logo.svg"), (QSizeF(logical) * devicePixelRatio).toSize()));
    picture.setDevicePixelRatio(devicePixelRatio);
    return picture;
}

} // namespace vantrel
