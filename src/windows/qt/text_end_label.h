#pragma once

#include "windows/qt/clickable_label.h"

namespace vantrel {

// A one-line label whose text, where it is too long for the label, shows its
// end, with an ellipsis in front: for a file name, whose end says most.
class TextEndLabel : public ClickableLabel {
    Q_OBJECT
public:
    explicit TextEndLabel(QWidget *parent) : ClickableLabel(parent) {}

    // What the label draws of its text.
    QString shownText() const;

protected:
    void paintEvent(QPaintEvent *event) override;
};

} // namespace vantrel
