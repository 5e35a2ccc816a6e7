#pragma once

#include "platform/opener.h"
#include "windows/qt/fixed_dialog.h"

#include <QPixmap>

#include <functional>

class QLabel;
class QPushButton;

namespace vantrel {

class ClickableLabel;

// The about window: product name, logo, rights notice, version, credits and
// the author's address, which opens a new mail when clicked. The logo hides a
// small dialogue for those who click it with Control held.
class frmAbout : public FixedDialog {
    Q_OBJECT
public:
    // showWebsite is what the Website button does; without it the button
    // does nothing.
    frmAbout(const QPixmap &logo, platform::Opener &opener, std::function<void()> showWebsite = {});

private:
    void Form_Load();
    void cmdOK_Click();
    void cmdWebsite_Click();
    void imgImage_Click(Qt::KeyboardModifiers modifiers);
    void Label4_Click();

    QPixmap logo_;
    platform::Opener &opener_;
    std::function<void()> showWebsite_;

    QLabel *Label1;
    ClickableLabel *imgImage;
    QLabel *Label2;
    QLabel *Label5;
    QLabel *Label3;
    ClickableLabel *Label4;
    QPushButton *cmdWebsite;
    QPushButton *cmdOK;
};

} // namespace vantrel
