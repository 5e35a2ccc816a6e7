#pragma once

#include "platform/sound.h"

#include <QIcon>
#include <QUrl>
#include <QWidget>

#include <array>

class QFrame;
class QPushButton;
class QWebEngineView;

namespace vantrel {

// Command codes of the browser's availability reports.
inline constexpr int CSC_NAVIGATEFORWARD = 1;
inline constexpr int CSC_NAVIGATEBACK = 2;

// The website window: an embedded browser above a bar of navigation buttons,
// opened on the maker's website. It deletes itself when closed.
class frmWB : public QWidget {
    Q_OBJECT
public:
    // sound must outlive the window.
    frmWB(QUrl websiteAddress, platform::Sound &sound, QIcon icon, QWidget *parent = nullptr);

    void Form_Load();
    void Form_Resize();
    void cmdMorvaskSite_Click();
    void cmdBack_Click();
    void cmdForward_Click();
    void cmdStop_Click();
    void cmdRefresh_Click();
    void cmdClose_Click();
    void WB1_CommandStateChange(int Command, bool Enable);
    void WB1_DocumentComplete();

    QWebEngineView *const WB1;
    QFrame *const picButtons;
    QPushButton *const cmdMorvaskSite;
    QPushButton *const cmdBack;
    QPushButton *const cmdForward;
    QPushButton *const cmdStop;
    QPushButton *const cmdRefresh;
    QPushButton *const cmdClose;
    const std::array<QPushButton *, 2> cmdSpace;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void connectBrowserEvents();

    const QUrl websiteAddress_;
    platform::Sound &sound_;
    const QIcon icon_;
};

} // namespace vantrel
