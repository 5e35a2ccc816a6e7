#pragma once

#include <QIcon>
#include <QPixmap>

namespace vantrel {

// The program's icon, a grey key-cap with flames rising from it, drawn from
// its SVG source at every size a tray, a title bar or a task switcher asks for.
QIcon programIcon();

// The banner picture of the configuration window, 64 by 128 logical pixels,
// drawn for a screen with the given device pixel ratio.
QPixmap logoPicture(qreal devicePixelRatio = 1.0);

} // namespace vantrel
