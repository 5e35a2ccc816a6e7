#include "windows/qt/frmWB.h"

#include "windows/qt/fonts.h"
#include "windows/qt/twips.h"

#include <QAction>
#include <QFrame>
#include <QPushButton>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace vantrel {

namespace {

constexpr int twipsPerPixel = 15;

// Both are compared and shown exactly as written, trademark sign included.
const QString trumpetTitle = QStringLiteral(u"Morvak\u2122 Homepage Coming Soon...");
const QString captionPrefix = QStringLiteral("Morvask Website - ");
constexpr const char *trumpetSound = "trumpet1.wav";

QWebEngineView *makeBrowser(QWidget *window)
{
    auto *browser = new QWebEngineView(window);
    browser->setObjectName(QStringLiteral("WB1"));
    browser->setGeometry(twipsRect(60, 60, 4575, 2835));
    return browser;
}

QFrame *makeButtonBar(QWidget *window)
{
    auto *bar = new QFrame(window);
    bar->setObjectName(QStringLiteral("picButtons"));
    bar->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    bar->setGeometry(twipsRect(60, 4620, 8775, 555));
    return bar;
}

// Buttons sit in the bar's area inside its border, like controls in a
// picture box.
QPushButton *makeButton(QFrame *bar, const char *name, int left, int width, const QString &caption)
{
    auto *button = new QPushButton(caption, bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(twipsRect(left, 0, width, 495).translated(bar->contentsRect().topLeft()));
    return button;
}

QPushButton *makeSpacer(QFrame *bar, const char *name, int left)
{
    auto *spacer = makeButton(bar, name, left, 255, QString());
    spacer->setEnabled(false);
    spacer->setFocusPolicy(Qt::NoFocus);
    spacer->setFont(designFont("MS Sans Serif", 8.25));
    return spacer;
}

} // namespace

frmWB::frmWB(QUrl websiteAddress, platform::Sound &sound, QIcon icon, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      WB1(makeBrowser(this)), picButtons(makeButtonBar(this)),
      cmdMorvaskSite(makeButton(picButtons, "cmdMorvaskSite", 0, 2475, QStringLiteral(u"Morvask\u2122 Website"))),
      cmdBack(makeButton(picButtons, "cmdBack", 2700, 1215, QStringLiteral(u"\u00AB Back"))),
      cmdForward(makeButton(picButtons, "cmdForward", 3900, 1215, QStringLiteral(u"Forward \u00BB"))),
      cmdStop(makeButton(picButtons, "cmdStop", 5100, 1215, QStringLiteral("Stop"))),
      cmdRefresh(makeButton(picButtons, "cmdRefresh", 6300, 1215, QStringLiteral("Refresh"))),
      cmdClose(makeButton(picButtons, "cmdClose", 7500, 1215, QStringLiteral("Close"))),
      cmdSpace{makeSpacer(picButtons, "cmdSpace0", 2460), makeSpacer(picButtons, "cmdSpace1", 8700)},
      websiteAddress_(std::move(websiteAddress)), sound_(sound), icon_(std::move(icon))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Morvask Website"));
    setFont(designFont("Comic Sans MS", 9.75, true));
    setMinimumSize(twipsSize(8880, 5190));
    resize(twipsSize(8880, 5190));
    WB1->setFocus();

    connect(cmdMorvaskSite, &QPushButton::clicked, this, &frmWB::cmdMorvaskSite_Click);
    connect(cmdBack, &QPushButton::clicked, this, &frmWB::cmdBack_Click);
    connect(cmdForward, &QPushButton::clicked, this, &frmWB::cmdForward_Click);
    connect(cmdStop, &QPushButton::clicked, this, &frmWB::cmdStop_Click);
    connect(cmdRefresh, &QPushButton::clicked, this, &frmWB::cmdRefresh_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmWB::cmdClose_Click);
    connectBrowserEvents();
}

// The engine reports availability through its Back and Forward actions,
// which only signal changes; the state is also reported as each navigation
// starts, so that a first page without history disables both buttons. The
// engine reports the finished load of the page, not of each frame in it.
void frmWB::connectBrowserEvents()
{
    QWebEnginePage *page = WB1->page();
    QAction *back = page->action(QWebEnginePage::Back);
    QAction *forward = page->action(QWebEnginePage::Forward);
    const auto reportBack = [this, back] { WB1_CommandStateChange(CSC_NAVIGATEBACK, back->isEnabled()); };
    const auto reportForward = [this, forward] { WB1_CommandStateChange(CSC_NAVIGATEFORWARD, forward->isEnabled()); };
    connect(back, &QAction::changed, this, reportBack);
    connect(forward, &QAction::changed, this, reportForward);
    connect(page, &QWebEnginePage::loadStarted, this, [reportBack, reportForward] {
        reportForward();
        reportBack();
    });
    // A failed load finishes too, on the engine's error page, and retitles the
    // window just the same.
    connect(page, &QWebEnginePage::loadFinished, this, &frmWB::WB1_DocumentComplete);
}

void frmWB::Form_Load()
{
    WB1->load(websiteAddress_);
    setWindowIcon(icon_);
}

// The layout works on the client area: the browser keeps 20 twips to the right
// edge, the button bar sits 50 twips below it and 30 above the bottom edge,
// and the right-hand blank button is as wide as the whole bar, which clips
// it. The minimum size keeps every computed size positive.
void frmWB::Form_Resize()
{
    const int clientWidth = width() * twipsPerPixel;
    const int clientHeight = height() * twipsPerPixel;
    WB1->resize(twips(clientWidth - 80), twips(clientHeight - 695));
    picButtons->resize(WB1->width(), picButtons->height());
    picButtons->move(picButtons->x(), WB1->y() + WB1->height() + twips(50));
    cmdSpace[1]->resize(picButtons->width(), cmdSpace[1]->height());
}

void frmWB::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmWB::cmdMorvaskSite_Click() { WB1->load(websiteAddress_); }

// With nowhere to go, the engine's back and forward do nothing.
void frmWB::cmdBack_Click() { WB1->back(); }

void frmWB::cmdForward_Click() { WB1->forward(); }

void frmWB::cmdStop_Click() { WB1->stop(); }

void frmWB::cmdRefresh_Click() { WB1->reload(); }

void frmWB::cmdClose_Click() { close(); }

void frmWB::WB1_CommandStateChange(int Command, bool Enable)
{
    if (Command == CSC_NAVIGATEFORWARD)
        cmdForward->setEnabled(Enable);
    else if (Command == CSC_NAVIGATEBACK)
        cmdBack->setEnabled(Enable);
}

void frmWB::WB1_DocumentComplete()
{
    setWindowTitle(captionPrefix + WB1->title());
    if (WB1->title() == trumpetTitle)
        sound_.play(trumpetSound);
}

} // namespace vantrel
