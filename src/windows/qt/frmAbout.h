#pragma once

#include "platform/opener.h"
#include "windows/design/about_behaviour.h"
#include "windows/qt/fixed_dialog.h"
#include "windows/qt/qt_window_view.h"

#include <QPixmap>

#include <functional>

namespace vantrel {

// The about window, drawn by Qt; what it shows and does is the behaviour's.
class frmAbout : public FixedDialog, private QtWindowView<design::AboutView> {
    Q_OBJECT
public:
    // showWebsite is what the Website button does; without it the button
    // does nothing.
    frmAbout(const QPixmap &logo, platform::Opener &opener, std::function<void()> showWebsite = {});

private:
    void openWebsite() override;
    void closeWindow() override { unload(); }

    std::function<void()> showWebsite_;
    design::AboutBehaviour behaviour_;
};

} // namespace vantrel
