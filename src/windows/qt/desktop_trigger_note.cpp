#include "windows/qt/desktop_trigger_note.h"

namespace vantrel {

QString desktopTriggerNote(const platform::KeySource &keys, platform::FunctionKey key)
{
    const auto trigger = keys.desktopTrigger(key);
    const auto label = platform::keyLabel(key);
    const QString name = QString::fromLatin1(label.data(), static_cast<qsizetype>(label.size()));
    if (!trigger || QString::fromStdString(*trigger) == name)
        return {};
    if (trigger->empty())
        return QStringLiteral("The desktop's shortcut settings give this file no key: %1 does not open it.").arg(name);
    return QStringLiteral("The desktop's shortcut settings open this file with %1 instead of %2.")
        .arg(QString::fromStdString(*trigger), name);
}

} // namespace vantrel
