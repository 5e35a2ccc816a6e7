#pragma once

#include "windows/design/control_design.h"

#include <QHash>
#include <QString>

#include <functional>

class QWidget;

namespace vantrel {

// A window's controls made as its design says: for each control a widget of
// its kind, named, placed, lettered and captioned as designed, in the tab
// order of the design. Labels and images are ClickableLabels (TextEndLabels
// where a long text shows its end); a kind that
// needs more than Qt Widgets (the web browser) comes from makeSpecial.
class DesignedControls {
public:
    using MakeSpecial = std::function<QWidget *(const design::ControlDesign &control, QWidget *parent)>;

    // The window takes the design's caption, font and client size; its frame
    // is the window's own business.
    DesignedControls(QWidget *window, const design::WindowDesign &design, const MakeSpecial &makeSpecial = {});

    const design::WindowDesign &design() const { return design_; }

    QWidget *operator[](design::ControlId id) const;
    template <class Widget>
    Widget *get(design::ControlId id) const
    {
        return static_cast<Widget *>((*this)[id]);
    }

    // Places a control, in twips within its container.
    void place(design::ControlId id, design::TwipsRect rect) const;

    // The control's text: a label's or button's caption, a text box's
    // contents, a frame's title.
    void setText(design::ControlId id, const QString &text) const;

private:
    QWidget *make(const design::ControlDesign &control, QWidget *parent, const MakeSpecial &makeSpecial) const;
    void orderTabs() const;

    QWidget *const window_;
    const design::WindowDesign &design_;
    QHash<QString, QWidget *> byName_;
};

} // namespace vantrel
