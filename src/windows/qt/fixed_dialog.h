#pragma once

#include <QDialog>

namespace vantrel {

// A small dialog of fixed size whose title bar carries its caption alone: no
// system menu, no close, minimize or maximize button, and no task-bar entry.
// Neither the window manager's close request nor Escape closes it; the only
// way out is the dialog's own button, which calls unload().
class FixedDialog : public QDialog {
    Q_OBJECT
public:
    explicit FixedDialog(QSize clientSize);

    // Closes the window; with Qt::WA_DeleteOnClose set, this destroys it.
    void unload();

    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool unloading_ = false;
};

} // namespace vantrel
