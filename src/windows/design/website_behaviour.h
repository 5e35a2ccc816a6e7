#pragma once

#include "platform/sound.h"
#include "windows/design/frmWB_design.h"
#include "windows/design/window_view.h"

#include <string>

namespace vantrel::design {

class WebsiteView : public WindowView {
public:
    // The browser control WB1.
    virtual void navigate(std::u16string_view address) = 0;
    virtual void goBack() = 0;
    virtual void goForward() = 0;
    virtual void stop() = 0;
    virtual void refresh() = 0;
    // The title of the page on show; for a page without one, its location.
    virtual std::u16string locationName() const = 0;

    // Moves and sizes a control, in twips within its container.
    virtual void place(ControlId control, TwipsRect rect) = 0;
    // Closes and destroys the window.
    virtual void closeWindow() = 0;
};

// Where the layout puts the browser, the button strip and the strip's
// right-hand blank for a client area of the window.
struct WebsiteLayout {
    TwipsRect browser;
    TwipsRect buttonStrip;
    TwipsRect rightBlank;
};

// What the website window decides: where it goes, its caption, which of Back
// and Forward can be pressed, the trumpet that greets one page, and its
// layout.
class WebsiteBehaviour {
public:
    // Both must outlive the behaviour.
    WebsiteBehaviour(WebsiteView &view, std::u16string websiteAddress, platform::Sound &sound)
        : view_(view), websiteAddress_(std::move(websiteAddress)), sound_(sound)
    {
    }

    void Form_Load();
    void Form_Resize(TwipsSize clientArea);
    void cmdMorvaskSite_Click();
    void cmdBack_Click();
    void cmdForward_Click();
    void cmdStop_Click();
    void cmdRefresh_Click();
    void cmdClose_Click();
    void WB1_CommandStateChange(int Command, bool Enable);
    void WB1_DocumentComplete();

    // The smallest client area the window may have: the designed one, which
    // keeps every size of the layout positive.
    static TwipsSize minimumClientArea();
    static WebsiteLayout layoutFor(TwipsSize clientArea);

private:
    WebsiteView &view_;
    const std::u16string websiteAddress_;
    platform::Sound &sound_;
};

} // namespace vantrel::design
