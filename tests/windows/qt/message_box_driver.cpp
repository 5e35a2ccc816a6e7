#include "message_box_driver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

namespace vantrel::test {

MessageBoxDriver::MessageBoxDriver(QList<QMessageBox::StandardButton> answers) : answers_(std::move(answers))
{
    QObject::connect(&timer_, &QTimer::timeout, [this] { answerOpenBox(); });
    timer_.start(10);
}

void MessageBoxDriver::answerOpenBox()
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    seen_.append({box->text(), box->windowTitle(), box->icon(), box->standardButtons(), box->width()});
    if (!answers_.isEmpty() && answers_.first() == pressEscape) {
        answers_.removeFirst();
        // A box that takes no Escape is still up at the next look, and
        // counts as unexpected then.
        QTest::keyClick(box, Qt::Key_Escape);
        return;
    }
    QAbstractButton *button = answers_.isEmpty() ? nullptr : box->button(answers_.takeFirst());
    if (button) {
        button->click();
    } else {
        ++unexpected_;
        box->done(QMessageBox::NoButton);
    }
}

} // namespace vantrel::test
