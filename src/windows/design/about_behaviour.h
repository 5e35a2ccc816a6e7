#pragma once

#include "platform/opener.h"
#include "windows/design/frmAbout_design.h"
#include "windows/design/window_view.h"

#include <string>

namespace vantrel::design {

class AboutView : public WindowView {
public:
    // The website window, created when not open.
    virtual void openWebsite() = 0;
    // Closes and destroys the window.
    virtual void closeWindow() = 0;
};

// What the about window decides: its version line, the mail link and the
// small dialogue hidden behind a click on the logo with Control held.
class AboutBehaviour {
public:
    // Both must outlive the behaviour.
    AboutBehaviour(AboutView &view, platform::Opener &opener) : view_(view), opener_(opener) {}

    void Form_Load();
    void cmdOK_Click();
    void cmdWebsite_Click();
    void imgImage_Click(bool controlHeld);
    void Label4_Click();

    // "Version: 2.0": the minor number is not widened, and no revision follows.
    static std::u16string versionText();

private:
    AboutView &view_;
    platform::Opener &opener_;
};

} // namespace vantrel::design
