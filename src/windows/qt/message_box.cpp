#include "windows/qt/message_box.h"

#include "windows/qt/product_texts.h"

#include <QPointer>

namespace vantrel {

QMessageBox::StandardButton showMessage(QWidget *parent, const QString &text, QMessageBox::StandardButtons buttons)
{
    // On the heap and watched: should the parent go while the box waits, it
    // takes the box with it, and nothing here may delete it a second time.
    QPointer<QMessageBox> box = new QMessageBox(QMessageBox::NoIcon, kAppTitle.toString(), text, buttons, parent);
    box->setTextFormat(Qt::PlainText);
    const auto answer = static_cast<QMessageBox::StandardButton>(box->exec());
    delete box.data();
    return answer;
}

} // namespace vantrel
