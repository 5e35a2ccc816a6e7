#include "windows/qt/message_box.h"

#include "windows/qt/qt_text.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QPointer>
#include <QSpacerItem>

namespace vantrel {

namespace {

// Room in a title bar beside the title: the frame's buttons and margins, as
// the common window managers draw them.
constexpr int kTitleBarRoom = 140;

} // namespace

int widthForTitle(const QString &title, const QFont &font)
{
    // Title bars mostly set their captions in bold.
    QFont titleFont = font;
    titleFont.setBold(true);
    return QFontMetrics(titleFont).horizontalAdvance(title) + kTitleBarRoom;
}

design::MessageAnswer showMessage(QWidget *parent, const design::Message &message)
{
    const bool yesNo = message.buttons == design::MessageButtons::YesNo;
    const auto buttons = yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
    // On the heap and watched: should the parent go while the box waits, it
    // takes the box with it, and nothing here may delete it a second time.
    QPointer<QMessageBox> box =
        new QMessageBox(QMessageBox::NoIcon, toQString(message.title), toQString(message.text), buttons, parent);
    box->setTextFormat(Qt::PlainText);
    if (yesNo)
        box->setEscapeButton(QMessageBox::No);
    // The box sizes itself to its text and buttons alone; a spanning spacer
    // keeps it as wide as its title needs.
    if (auto *grid = qobject_cast<QGridLayout *>(box->layout()))
        grid->addItem(new QSpacerItem(widthForTitle(box->windowTitle(), box->font()), 0, QSizePolicy::Minimum,
                                      QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    const auto answer = box->exec();
    delete box.data();
    switch (answer) {
    case QMessageBox::Ok:
        return design::MessageAnswer::Ok;
    case QMessageBox::Yes:
        return design::MessageAnswer::Yes;
    case QMessageBox::No:
        return design::MessageAnswer::No;
    default:
        return design::MessageAnswer::None;
    }
}

} // namespace vantrel
