#include "windows/qt/designed_controls.h"

#include "windows/qt/clickable_label.h"
#include "windows/qt/fonts.h"
#include "windows/qt/qt_text.h"
#include "windows/qt/text_end_label.h"
#include "windows/qt/twips.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <map>

namespace vantrel {

namespace {

using design::ControlDesign;
using design::ControlKind;

void setTextColour(QWidget *widget, const design::Colour &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, QColor(colour.red, colour.green, colour.blue));
    widget->setPalette(palette);
}

void applyBorder(QFrame *frame, design::Border border)
{
    switch (border) {
    case design::Border::None:
        break;
    case design::Border::Single:
        frame->setFrameStyle(QFrame::Box | QFrame::Plain);
        break;
    case design::Border::Sunken:
        frame->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
        break;
    }
}

// Single-line labels keep Qt's vertical centring; text that wraps, and every
// centred caption, starts at the top, as the designs draw it.
Qt::Alignment labelAlignment(const ControlDesign &control)
{
    if (control.alignment == design::Alignment::Centre)
        return Qt::AlignHCenter | Qt::AlignTop;
    if (control.wordWrap || control.picture != design::Picture::None)
        return Qt::AlignLeft | Qt::AlignTop;
    return Qt::AlignLeft | Qt::AlignVCenter;
}

QWidget *makeLabel(const ControlDesign &control, QWidget *parent)
{
    auto *label = control.showsTextEnd ? new TextEndLabel(parent) : new ClickableLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setText(toQString(control.caption));
    label->setAlignment(labelAlignment(control));
    label->setWordWrap(control.wordWrap);
    label->setAutoFillBackground(control.opaque);
    label->setScaledContents(control.stretchesPicture);
    applyBorder(label, control.border);
    if (control.textColour)
        setTextColour(label, *control.textColour);
    return label;
}

QWidget *makeButton(const ControlDesign &control, QWidget *parent)
{
    auto *button = new QPushButton(toQString(control.caption), parent);
    button->setDefault(control.isDefault);
    return button;
}

// A path box that only the program fills is left out of the Tab chain: the
// focus reaches it only by a click.
QWidget *makeTextBox(const ControlDesign &control, QWidget *parent)
{
    auto *box = new QLineEdit(toQString(control.caption), parent);
    box->setReadOnly(control.readOnly);
    if (control.readOnly)
        box->setFocusPolicy(Qt::ClickFocus);
    return box;
}

QWidget *makeList(QWidget *parent)
{
    auto *list = new QListWidget(parent);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

QWidget *makePanel(const ControlDesign &control, QWidget *parent)
{
    auto *panel = new QFrame(parent);
    applyBorder(panel, control.border);
    return panel;
}

// Controls in a picture box count from inside its border; controls in a
// frame from its top left corner.
QPoint containerOrigin(QWidget *container, const ControlDesign &containerDesign)
{
    if (containerDesign.kind == ControlKind::PictureBox)
        return static_cast<QFrame *>(container)->contentsRect().topLeft();
    return {};
}

} // namespace

DesignedControls::DesignedControls(QWidget *window, const design::WindowDesign &design, const MakeSpecial &makeSpecial)
    : window_(window), design_(design)
{
    window->setWindowTitle(toQString(design.caption));
    window->setFont(designFont(design.font));
    for (const auto &control : design.controls) {
        QWidget *parent = control.container ? (*this)[*control.container] : window;
        QWidget *widget = make(control, parent, makeSpecial);
        widget->setObjectName(objectName(control.id));
        widget->setFont(designFont(design.fontOf(control)));
        widget->setEnabled(control.enabled);
        if (!control.takesFocus)
            widget->setFocusPolicy(Qt::NoFocus);
        if (!control.accessibleName.empty())
            widget->setAccessibleName(toQString(control.accessibleName));
        byName_.insert(widget->objectName(), widget);
        place(control.id, control.rect);
        // A label sized to its text on the window itself takes the size of
        // its text as drawn here; one in a frame or panel keeps its designed
        // box, in line with its neighbours.
        if (control.sizedToText && !control.container)
            widget->resize(widget->sizeHint());
    }
    // A label named after the control it names reads out as that control's
    // name, and gives the focus to it.
    for (const auto &control : design.controls)
        if (control.labelledBy) {
            auto *label = get<QLabel>(*control.labelledBy);
            label->setBuddy((*this)[control.id]);
            (*this)[control.id]->setAccessibleName(
                toQString(design::withoutAccessKeys(label->text().toStdU16String())));
        }
    orderTabs();
}

QWidget *DesignedControls::make(const ControlDesign &control, QWidget *parent, const MakeSpecial &makeSpecial) const
{
    switch (control.kind) {
    case ControlKind::PushButton:
        return makeButton(control, parent);
    case ControlKind::TextBox:
        return makeTextBox(control, parent);
    case ControlKind::Label:
    case ControlKind::Image:
        return makeLabel(control, parent);
    case ControlKind::ListBox:
        return makeList(parent);
    case ControlKind::Frame:
        return new QGroupBox(toQString(control.caption), parent);
    case ControlKind::PictureBox:
        return makePanel(control, parent);
    case ControlKind::WebBrowser:
        break;
    }
    if (!makeSpecial)
        qFatal("no widget for the control %s", qPrintable(objectName(control.id)));
    return makeSpecial(control, parent);
}

QWidget *DesignedControls::operator[](design::ControlId id) const
{
    QWidget *widget = byName_.value(objectName(id));
    if (!widget)
        qFatal("the window %s has no control %s", qPrintable(window_->objectName()), qPrintable(objectName(id)));
    return widget;
}

void DesignedControls::place(design::ControlId id, design::TwipsRect rect) const
{
    const auto &control = design_.control(id);
    QPoint origin;
    if (control.container)
        origin = containerOrigin((*this)[*control.container], design_.control(*control.container));
    (*this)[id]->setGeometry(twipsRect(rect).translated(origin));
}

void DesignedControls::setText(design::ControlId id, const QString &text) const
{
    QWidget *widget = (*this)[id];
    const auto &control = design_.control(id);
    switch (control.kind) {
    case ControlKind::PushButton:
        static_cast<QPushButton *>(widget)->setText(text);
        break;
    case ControlKind::TextBox: {
        auto *box = static_cast<QLineEdit *>(widget);
        box->setText(text);
        box->setCursorPosition(control.showsTextEnd ? static_cast<int>(text.size()) : 0);
        break;
    }
    case ControlKind::Frame:
        static_cast<QGroupBox *>(widget)->setTitle(text);
        break;
    default:
        static_cast<QLabel *>(widget)->setText(text);
        break;
    }
    if (control.sizedToText && !control.container)
        widget->resize(widget->sizeHint());
}

// Controls that take the focus, in the order of their tab indexes.
void DesignedControls::orderTabs() const
{
    std::map<int, QWidget *> byTabIndex;
    for (const auto &control : design_.controls)
        if (control.tabIndex && control.takesFocus && control.enabled)
            byTabIndex.emplace(*control.tabIndex, (*this)[control.id]);
    QWidget *previous = nullptr;
    for (const auto &[tabIndex, widget] : byTabIndex) {
        if (previous)
            QWidget::setTabOrder(previous, widget);
        previous = widget;
    }
}

} // namespace vantrel
