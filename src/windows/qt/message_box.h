#pragma once

#include "windows/design/window_view.h"

#include <QMessageBox>

namespace vantrel {

// A modal message box over parent, without an icon, wide enough to show its
// title whole; Escape answers No on a Yes/No box. Answers None when the box
// went away unanswered (its parent was destroyed meanwhile, for instance).
design::MessageAnswer showMessage(QWidget *parent, const design::Message &message);

// The width a box needs to show its title whole in the frame the window
// manager draws around it.
int widthForTitle(const QString &title, const QFont &font);

} // namespace vantrel
