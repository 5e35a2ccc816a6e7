#pragma once

#include "windows/design/control_design.h"

#include <QString>

#include <string>
#include <string_view>

namespace vantrel {

inline QString toQString(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::u16string toU16(const QString &text) { return text.toStdU16String(); }

// "Key0" for Key index 0, "cmdOK" for cmdOK: the controls' object names.
inline QString objectName(design::ControlId id)
{
    QString name = QString::fromLatin1(id.name.data(), static_cast<qsizetype>(id.name.size()));
    return id.index >= 0 ? name + QString::number(id.index) : name;
}

} // namespace vantrel
