#include "message_box_driver.h"

#include <QAbstractButton>
#include <QApplication>

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
    seen_.append({box->text(), box->windowTitle(), box->icon(), box->standardButtons()});
    QAbstractButton *button = answers_.isEmpty() ? nullptr : box->button(answers_.takeFirst());
    if (button) {
        button->click();
    } else {
        ++unexpected_;
        box->done(QMessageBox::NoButton);
    }
}

} // namespace vantrel::test
