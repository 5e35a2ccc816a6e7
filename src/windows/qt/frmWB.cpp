#include "windows/qt/frmWB.h"

#include "windows/qt/twips.h"

#include <QAction>
#include <QFrame>
#include <QPushButton>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace vantrel {

namespace website = design::frmWB;

frmWB::frmWB(const QUrl &websiteAddress, platform::Sound &sound, QIcon icon, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      QtWindowView(this, website::window(),
                   [](const design::ControlDesign &, QWidget *parent) { return new QWebEngineView(parent); }),
      WB1(controls().get<QWebEngineView>(website::WB1)), picButtons(controls().get<QFrame>(website::picButtons)),
      cmdMorvaskSite(controls().get<QPushButton>(website::cmdMorvaskSite)),
      cmdBack(controls().get<QPushButton>(website::cmdBack)),
      cmdForward(controls().get<QPushButton>(website::cmdForward)),
      cmdStop(controls().get<QPushButton>(website::cmdStop)),
      cmdRefresh(controls().get<QPushButton>(website::cmdRefresh)),
      cmdClose(controls().get<QPushButton>(website::cmdClose)),
      cmdSpace{controls().get<QPushButton>(website::cmdSpace[0]), controls().get<QPushButton>(website::cmdSpace[1])},
      icon_(std::move(icon)), behaviour_(*this, websiteAddress.toString(QUrl::FullyEncoded).toStdU16String(), sound)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setMinimumSize(twipsSize(design::WebsiteBehaviour::minimumClientArea()));
    resize(twipsSize(website::window().clientSize));
    WB1->setFocus();
    connectButtons();
    connectBrowserEvents();
}

void frmWB::connectButtons()
{
    connect(cmdMorvaskSite, &QPushButton::clicked, this, [this] { behaviour_.cmdMorvaskSite_Click(); });
    connect(cmdBack, &QPushButton::clicked, this, [this] { behaviour_.cmdBack_Click(); });
    connect(cmdForward, &QPushButton::clicked, this, [this] { behaviour_.cmdForward_Click(); });
    connect(cmdStop, &QPushButton::clicked, this, [this] { behaviour_.cmdStop_Click(); });
    connect(cmdRefresh, &QPushButton::clicked, this, [this] { behaviour_.cmdRefresh_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { behaviour_.cmdClose_Click(); });
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
    const auto reportBack = [this, back] {
        behaviour_.WB1_CommandStateChange(website::CSC_NAVIGATEBACK, back->isEnabled());
    };
    const auto reportForward = [this, forward] {
        behaviour_.WB1_CommandStateChange(website::CSC_NAVIGATEFORWARD, forward->isEnabled());
    };
    connect(back, &QAction::changed, this, reportBack);
    connect(forward, &QAction::changed, this, reportForward);
    connect(page, &QWebEnginePage::loadStarted, this, [reportBack, reportForward] {
        reportForward();
        reportBack();
    });
    // A failed load finishes too, on the engine's error page, and retitles the
    // window just the same.
    connect(page, &QWebEnginePage::loadFinished, this, [this] { behaviour_.WB1_DocumentComplete(); });
}

void frmWB::Form_Load()
{
    behaviour_.Form_Load();
    setWindowIcon(icon_);
}

// The layout works on the client area; the minimum size keeps every computed
// size positive.
void frmWB::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    behaviour_.Form_Resize(pixelsToTwips(size()));
}

void frmWB::navigate(std::u16string_view address) { WB1->load(QUrl::fromEncoded(toQString(address).toUtf8())); }

// With nowhere to go, the engine's back and forward do nothing.
void frmWB::goBack() { WB1->back(); }

void frmWB::goForward() { WB1->forward(); }

void frmWB::stop() { WB1->stop(); }

void frmWB::refresh() { WB1->reload(); }

std::u16string frmWB::locationName() const { return toU16(WB1->title()); }

} // namespace vantrel
