#pragma once

#include "platform/key_source.h"

#include <QString>

namespace vantrel {

// Where the desktop hands the keys over as its global shortcuts and fires a
// key's file with something else than the key itself (the user changed F8 to
// Ctrl+F8 in the desktop's settings, or took its trigger away), a note that
// says so, for a tooltip next to the key. Empty where the key is the key.
QString desktopTriggerNote(const platform::KeySource &keys, platform::FunctionKey key);

} // namespace vantrel
