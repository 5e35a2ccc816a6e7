#include "windows/design/desktop_trigger_note.h"

#include "windows/design/text.h"

namespace vantrel::design {

std::u16string desktopTriggerNote(const platform::KeySource &keys, platform::FunctionKey key)
{
    const auto trigger = keys.desktopTrigger(key);
    const std::u16string name = fromAscii(platform::keyLabel(key));
    if (!trigger || *trigger == platform::keyLabel(key))
        return {};
    if (trigger->empty())
        return u"The desktop's shortcut settings give this file no key: " + name + u" does not open it.";
    return u"The desktop's shortcut settings open this file with " + fromUtf8(*trigger) + u" instead of " + name + u".";
}

} // namespace vantrel::design
