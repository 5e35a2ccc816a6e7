#pragma once

#include <QLabel>

namespace vantrel {

// A label that reports a click of the left button, completed over the label,
// with the modifier keys held as the click completed.
class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickableLabel(QWidget *parent) : QLabel(parent) {}

signals:
    void clicked(Qt::KeyboardModifiers modifiers);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    bool pressed_ = false;
};

} // namespace vantrel
