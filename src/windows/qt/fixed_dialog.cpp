#include "windows/qt/fixed_dialog.h"

#include <QCloseEvent>

namespace vantrel {

// Qt::Tool keeps the window out of the task bar; the customised hints leave
// the title alone in the frame.
FixedDialog::FixedDialog(QSize clientSize) : QDialog(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setFixedSize(clientSize);
}

void FixedDialog::unload()
{
    unloading_ = true;
    close();
}

// Escape would otherwise close the dialog behind the user's back.
void FixedDialog::reject() {}

void FixedDialog::closeEvent(QCloseEvent *event)
{
    if (unloading_)
        event->accept();
    else
        event->ignore();
}

} // namespace vantrel
