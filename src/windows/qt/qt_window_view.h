#pragma once

#include "windows/design/window_view.h"
#include "windows/qt/designed_controls.h"
#include "windows/qt/message_box.h"
#include "windows/qt/qt_text.h"

#include <QWidget>

namespace vantrel {

// What every window's view does the same way in Qt, over the controls made
// from its design; the window adds what only it does.
template <class View>
class QtWindowView : public View {
public:
    QtWindowView(QWidget *window, const design::WindowDesign &design,
                 const DesignedControls::MakeSpecial &makeSpecial = {})
        : window_(window), controls_(window, design, makeSpecial)
    {
    }

    void setCaption(std::u16string_view caption) override { window_->setWindowTitle(toQString(caption)); }
    void setText(design::ControlId control, std::u16string_view text) override
    {
        controls_.setText(control, toQString(text));
    }
    void setTip(design::ControlId control, std::u16string_view text) override
    {
        controls_[control]->setToolTip(toQString(text));
    }
    void enable(design::ControlId control, bool enabled) override { controls_[control]->setEnabled(enabled); }
    void focus(design::ControlId control) override { controls_[control]->setFocus(Qt::OtherFocusReason); }
    design::MessageAnswer showMessage(const design::Message &message) override
    {
        return vantrel::showMessage(window_, message);
    }

protected:
    const DesignedControls &controls() const { return controls_; }

private:
    QWidget *const window_;
    DesignedControls controls_;
};

} // namespace vantrel
