// The configuration window's controls, laid out in twips as designed.
#include "artwork/artwork.h"
#include "windows/qt/clickable_label.h"
#include "windows/qt/fonts.h"
#include "windows/qt/frmConfig.h"
#include "windows/qt/product_texts.h"
#include "windows/qt/twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <map>

namespace vantrel {

namespace {

QFont windowFont() { return designFont("Comic Sans MS", 8.25); }

// One row of the "Keys" frame: the tops of its text box and button (the label
// sits 60 twips lower), the label's width and the two tab indexes.
struct RowDesign {
    int top;
    int labelWidth;
    int txtTabIndex;
    int cmdTabIndex;
};

constexpr std::array<RowDesign, platform::kFunctionKeyCount> kRowDesigns{{
    {300, 210, 8, 9},
    {660, 210, 11, 10},
    {1020, 210, 13, 12},
    {1380, 210, 15, 14},
    {1740, 315, 17, 16},
    {2100, 315, 19, 18},
    {2460, 315, 21, 20},
}};

constexpr int kOkTabIndex = 22;
constexpr int kCancelTabIndex = 23;

QLabel *makeLabel(QWidget *parent, const char *name, const QString &caption, const QFont &font)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFont(font);
    return label;
}

} // namespace

void frmConfig::createControls()
{
    setFont(windowFont());

    createBanner();
    createRows();

    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setFont(designFont("Comic Sans MS", 12));
    cmdCancel->setGeometry(twipsRect(3960, 3060, 855, 495));
    connect(cmdCancel, &QPushButton::clicked, this, &frmConfig::cmdCancel_Click);

    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setFont(designFont("Comic Sans MS", 12, true));
    cmdOK->setGeometry(twipsRect(4860, 3060, 855, 495));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmConfig::cmdOK_Click);

    orderTabs();
}

void frmConfig::createBanner()
{
    imgLogo = new QFrame(this);
    imgLogo->setObjectName(QStringLiteral("imgLogo"));
    imgLogo->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    imgLogo->setFont(designFont("MS Sans Serif", 8.25));
    imgLogo->setGeometry(twipsRect(60, 60, 1320, 3540));

    // Positions inside the banner count from within its sunken border.
    const QPoint inside = imgLogo->contentsRect().topLeft();
    const auto place = [inside](QWidget *control, QRect designed) {
        control->setGeometry(designed.translated(inside));
    };

    Image1 = new QLabel(imgLogo);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(logoPicture(Image1->devicePixelRatioF()));
    place(Image1, twipsRect(180, 60, 960, 1920));

    // The name covers the foot of the picture, as its opaque label did in the
    // original design.
    Label1 = makeLabel(imgLogo, "Label1", QStringLiteral("Vantrel"), designFont("Comic Sans MS", 12));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setAutoFillBackground(true);
    place(Label1, twipsRect(60, 1800, 1155, 375));

    Label2 = makeLabel(imgLogo, "Label2", kRightsNotice.toString(), designFont("Comic Sans MS", 6));
    Label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label2->setWordWrap(true);
    place(Label2, twipsRect(120, 3060, 1035, 375));

    Label3 = makeLabel(imgLogo, "Label3", QStringLiteral("(About)"), designFont("Arial", 6.75));
    Label3->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    place(Label3, twipsRect(390, 2100, 465, 180));

    // In front of everything on the banner, so that every click on it lands here.
    imgAbout = new ClickableLabel(imgLogo);
    imgAbout->setObjectName(QStringLiteral("imgAbout"));
    place(imgAbout, twipsRect(0, 0, 1275, 3495));
    imgAbout->raise();
    connect(imgAbout, &ClickableLabel::clicked, this, &frmConfig::imgAbout_Click);
}

void frmConfig::createRows()
{
    Frame1 = new QGroupBox(QStringLiteral("Keys"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setFont(designFont("Comic Sans MS", 9.75, true));
    Frame1->setGeometry(twipsRect(1440, 60, 4275, 2895));

    for (const auto key : platform::kFunctionKeys) {
        const auto slot = platform::slotIndex(key);
        const RowDesign &design = kRowDesigns[slot];
        const QString label =
            QString::fromLatin1(platform::keyLabel(key).data(), static_cast<qsizetype>(platform::keyLabel(key).size()));

        Key[slot] = new QLabel(label, Frame1);
        Key[slot]->setObjectName(QStringLiteral("Key%1").arg(slot));
        Key[slot]->setFont(designFont("Comic Sans MS", 8.25, true));
        Key[slot]->setGeometry(twipsRect(120, design.top + 60, design.labelWidth, 240));

        // The path boxes are only ever filled by the program; a click into one
        // hands the focus to its row's button, and Tab passes them by.
        txtF[slot] = new QLineEdit(Frame1);
        txtF[slot]->setObjectName(QStringLiteral("txt") + label);
        txtF[slot]->setFont(windowFont());
        txtF[slot]->setReadOnly(true);
        txtF[slot]->setFocusPolicy(Qt::ClickFocus);
        txtF[slot]->setGeometry(twipsRect(480, design.top, 2970, 285));
        txtF[slot]->installEventFilter(this);

        cmdF[slot] = new QPushButton(QStringLiteral("Browse"), Frame1);
        cmdF[slot]->setObjectName(QStringLiteral("cmd") + label);
        cmdF[slot]->setFont(windowFont());
        cmdF[slot]->setGeometry(twipsRect(3480, design.top, 735, 255));
        cmdF[slot]->installEventFilter(this);
        connect(cmdF[slot], &QPushButton::clicked, this, [this, key] { cmdF_Click(key); });
    }
}

void frmConfig::orderTabs()
{
    std::map<int, QWidget *> byTabIndex{{kOkTabIndex, cmdOK}, {kCancelTabIndex, cmdCancel}};
    for (const auto key : platform::kFunctionKeys) {
        const auto slot = platform::slotIndex(key);
        byTabIndex.emplace(kRowDesigns[slot].txtTabIndex, txtF[slot]);
        byTabIndex.emplace(kRowDesigns[slot].cmdTabIndex, cmdF[slot]);
    }
    QWidget *previous = nullptr;
    for (const auto &[tabIndex, control] : byTabIndex) {
        if (previous)
            QWidget::setTabOrder(previous, control);
        previous = control;
    }
}

} // namespace vantrel
