#pragma once

#include "bindings/binding_set.h"
#include "platform/key_source.h"
#include "platform/opener.h"
#include "windows/qt/fixed_dialog.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace vantrel {

// The key list window: the path copies of F6 to F12, one line each, as they
// were when the window was created; the file name of the selected line; and
// a button that opens the selected line's path the way the keys do. A line
// whose key the desktop fires through another trigger says so in its tooltip.
class frmKeys : public FixedDialog {
    Q_OBJECT
public:
    frmKeys(const BindingSet &bindings, const platform::KeySource &keys, platform::Opener &opener);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void lstKeys_Click();
    void lstKeys_MouseDown(Qt::MouseButton button);
    void cmdExecute_Click();
    void cmdClose_Click();

    const BindingSet &bindings_;
    const platform::KeySource &keys_;
    platform::Opener &opener_;

    QListWidget *lstKeys;
    QPushButton *cmdClose;
    QPushButton *cmdExecute;
    QLabel *lblExeName;
};

} // namespace vantrel
