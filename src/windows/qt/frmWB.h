#pragma once

#include "platform/sound.h"
#include "windows/design/website_behaviour.h"
#include "windows/qt/qt_window_view.h"

#include <QIcon>
#include <QUrl>
#include <QWidget>

#include <array>

class QFrame;
class QPushButton;
class QWebEngineView;

namespace vantrel {

// The website window, drawn by Qt with its web engine; what it shows and does
// is the behaviour's. It deletes itself when closed.
class frmWB : public QWidget, private QtWindowView<design::WebsiteView> {
    Q_OBJECT
public:
    // sound must outlive the window.
    frmWB(const QUrl &websiteAddress, platform::Sound &sound, QIcon icon, QWidget *parent = nullptr);

    void Form_Load();

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
    void navigate(std::u16string_view address) override;
    void goBack() override;
    void goForward() override;
    void stop() override;
    void refresh() override;
    std::u16string locationName() const override;
    void place(design::ControlId control, design::TwipsRect rect) override { controls().place(control, rect); }
    void closeWindow() override { close(); }

    void connectButtons();
    void connectBrowserEvents();

    const QIcon icon_;
    design::WebsiteBehaviour behaviour_;
};

} // namespace vantrel
