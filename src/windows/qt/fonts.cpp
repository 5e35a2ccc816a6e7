#include "windows/qt/fonts.h"

namespace vantrel {

void installFontSubstitutions()
{
    QFont::insertSubstitution(QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
}

QFont designFont(const design::Font &font)
{
    QFont qtFont(QString::fromLatin1(font.face.data(), static_cast<qsizetype>(font.face.size())));
    qtFont.setPointSizeF(font.points);
    qtFont.setBold(font.bold);
    qtFont.setUnderline(font.underline);
    return qtFont;
}

} // namespace vantrel
