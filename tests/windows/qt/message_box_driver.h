#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>
#include <QTimer>

namespace vantrel::test {

// What a message box looked like when it came up.
struct SeenBox {
    QString text;
    QString title;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
    int width; // as the box came up, in logical pixels
};

// While it lives, answers each modal message box that comes up with the next
// of the given answers, and notes what each box looked like. A box that finds
// no answer left, or whose buttons lack the answer, is dismissed unanswered
// and counts as unexpected, so a faulty test fails instead of hanging.
// The answer pressEscape presses Escape instead of a button.
class MessageBoxDriver {
public:
    static constexpr QMessageBox::StandardButton pressEscape = QMessageBox::NoButton;

    explicit MessageBoxDriver(QList<QMessageBox::StandardButton> answers = {});

    const QList<SeenBox> &seen() const { return seen_; }
    int unexpected() const { return unexpected_; }

private:
    void answerOpenBox();

    QList<QMessageBox::StandardButton> answers_;
    QList<SeenBox> seen_;
    int unexpected_ = 0;
    QTimer timer_;
};

} // namespace vantrel::test
