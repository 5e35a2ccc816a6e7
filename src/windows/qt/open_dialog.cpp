#include "windows/qt/open_dialog.h"

#include <QFileDialog>

namespace vantrel {

FilePicker::Result FileDialogPicker::pickFileToOpen(QWidget *owner, const Request &request)
{
    QFileDialog dialog(owner, request.title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(request.filter);
    if (!request.startName.isEmpty())
        dialog.selectFile(request.startName);
    else if (!request.startFolder.isEmpty())
        dialog.setDirectory(request.startFolder);
    if (dialog.exec() != QDialog::Accepted)
        return {Outcome::Cancelled, {}};
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.first().isEmpty())
        return {Outcome::Failed, {}};
    return {Outcome::Chosen, chosen.first()};
}

} // namespace vantrel
