#pragma once

#include "windows/design/control_design.h"

#include <QFont>

namespace vantrel {

// Maps the Windows font names the windows are designed with onto the free
// fonts that stand in for them here: "Comic Sans MS" to Comic Neue, "Arial"
// and "MS Sans Serif" to Liberation Sans. Call once, before any window.
void installFontSubstitutions();

QFont designFont(const design::Font &font);

} // namespace vantrel
