#include "windows/qt/frmAbout.h"

#include "version.h"
#include "windows/qt/clickable_label.h"
#include "windows/qt/fonts.h"
#include "windows/qt/message_box.h"
#include "windows/qt/product_texts.h"
#include "windows/qt/twips.h"

#include <QPushButton>

namespace vantrel {

namespace {

const QColor kBlue(0, 0, 255);

template <class Label = QLabel>
Label *makeLabel(QWidget *parent, const char *name, const QRect &geometry, const QFont &font)
{
    auto *label = new Label(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(geometry);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void setTextColour(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

// The label keeps its place and takes the size of its text.
void sizeToText(QLabel *label) { label->resize(label->sizeHint()); }

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption, const QRect &geometry)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(geometry);
    button->setFont(designFont("Comic Sans MS", 12, true));
    return button;
}

const QString kCredits = QStringLiteral(
    "Special thanks to everyone that helped me with this app. To the regulars of the programmers' forum, "
    "who answered every question however basic, and to the friend who lent me the tray icon control "
    "this app started out with. If you have any comments or suggestions, send them to:");

} // namespace

frmAbout::frmAbout(const QPixmap &logo, platform::Opener &opener, std::function<void()> showWebsite)
    : FixedDialog(QStringLiteral("About Vantrel"), twipsSize(4290, 3810)), logo_(logo), opener_(opener),
      showWebsite_(std::move(showWebsite))
{
    setFont(designFont("MS Sans Serif", 8.25));

    Label1 = makeLabel(this, "Label1", twipsRect(1080, 0, 2760, 675), designFont("Comic Sans MS", 24, true));
    Label1->setText(QStringLiteral("Vantrel\u2122"));
    setTextColour(Label1, kBlue);
    sizeToText(Label1);

    imgImage = makeLabel<ClickableLabel>(this, "imgImage", twipsRect(120, 180, 480, 960), font());
    imgImage->setScaledContents(true);

    Label2 = makeLabel(this, "Label2", twipsRect(660, 660, 3615, 795), designFont("Comic Sans MS", 9.75, true));
    Label2->setText(kRightsNotice.toString());
    Label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label2->setWordWrap(true);

    Label5 = makeLabel(this, "Label5", twipsRect(1853, 1320, 585, 195), designFont("MS Sans Serif", 8.25));
    Label5->setText(QStringLiteral("Version:"));
    Label5->setAlignment(Qt::AlignCenter);

    Label3 = makeLabel(this, "Label3", twipsRect(120, 1560, 4095, 1335), designFont("Comic Sans MS", 8.25));
    Label3->setText(kCredits);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label3->setWordWrap(true);

    Label4 = makeLabel<ClickableLabel>(this, "Label4", twipsRect(1185, 2940, 1935, 195),
                                       designFont("MS Sans Serif", 8.25, false, true));
    Label4->setText(kContactAddress.toString());
    setTextColour(Label4, kBlue);
    Label4->setCursor(Qt::PointingHandCursor);
    sizeToText(Label4);

    cmdWebsite = makeButton(this, "cmdWebsite", QStringLiteral("&Website"), twipsRect(60, 3240, 1215, 495));
    cmdWebsite->setDefault(true);
    cmdOK = makeButton(this, "cmdOK", QStringLiteral("&OK"), twipsRect(3060, 3240, 1215, 495));

    // OK comes first and has the focus when the window opens; Qt would give
    // that first focus to the default button unless told otherwise.
    setTabOrder(cmdOK, cmdWebsite);
    cmdOK->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdWebsite, &QPushButton::clicked, this, &frmAbout::cmdWebsite_Click);
    connect(imgImage, &ClickableLabel::clicked, this, &frmAbout::imgImage_Click);
    connect(Label4, &ClickableLabel::clicked, this, &frmAbout::Label4_Click);

    Form_Load();
}

void frmAbout::Form_Load()
{
    imgImage->setPixmap(logo_);
    imgImage->setGeometry(twipsRect(120, 180, 480, 960));

    Label5->setText(QStringLiteral("Version: %1.%2").arg(version::major).arg(version::minor));
    sizeToText(Label5);
}

void frmAbout::cmdOK_Click() { unload(); }

void frmAbout::cmdWebsite_Click()
{
    if (showWebsite_)
        showWebsite_();
}

// Only a click made with Control held opens the dialogue; the answers to the
// second and third boxes do not matter.
void frmAbout::imgImage_Click(Qt::KeyboardModifiers modifiers)
{
    if (!(modifiers & Qt::ControlModifier))
        return;
    const auto answer = showMessage(this, QStringLiteral("MAH! You found a easter egg! Don't you feel special?!"),
                                    QMessageBox::Yes | QMessageBox::No);
    if (answer == QMessageBox::Yes)
        showMessage(this, QStringLiteral("Good for you! Nobody cares!"));
    if (answer == QMessageBox::No)
        showMessage(this, QStringLiteral("Don't put yourself down like that! Oh wait, go ahead, I don't care!"));
}

void frmAbout::Label4_Click() { opener_.open(u"mailto:" + kContactAddress.toString().toStdU16String()); }

} // namespace vantrel
