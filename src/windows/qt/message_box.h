#pragma once

#include <QMessageBox>

namespace vantrel {

// A modal message box over parent, titled with the program's name and without
// an icon. Returns the button pressed, or QMessageBox::NoButton when the box
// went away unanswered (its parent was destroyed meanwhile, for instance).
QMessageBox::StandardButton showMessage(QWidget *parent, const QString &text,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok);

} // namespace vantrel
