#pragma once

#include "bindings/binding_set.h"
#include "platform/key_source.h"
#include "platform/opener.h"
#include "windows/design/key_list_behaviour.h"
#include "windows/qt/fixed_dialog.h"
#include "windows/qt/qt_window_view.h"

class QListWidget;

namespace vantrel {

// The key list window, drawn by Qt; what it shows and does is the behaviour's.
class frmKeys : public FixedDialog, private QtWindowView<design::KeyListView> {
    Q_OBJECT
public:
    frmKeys(const BindingSet &bindings, const platform::KeySource &keys, platform::Opener &opener);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void addLine(std::u16string_view text, std::u16string_view toolTip) override;
    std::optional<std::size_t> selectedLine() const override;
    void closeWindow() override { unload(); }

    QListWidget *lstKeys() const;

    design::KeyListBehaviour behaviour_;
};

} // namespace vantrel
