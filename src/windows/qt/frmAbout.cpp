#include "windows/qt/frmAbout.h"

#include "windows/qt/clickable_label.h"
#include "windows/qt/twips.h"

#include <QPushButton>

namespace vantrel {

using namespace design::frmAbout;

frmAbout::frmAbout(const QPixmap &logo, platform::Opener &opener, std::function<void()> showWebsite)
    : FixedDialog(twipsSize(design::frmAbout::window().clientSize)), QtWindowView(this, design::frmAbout::window()),
      showWebsite_(std::move(showWebsite)), behaviour_(*this, opener)
{
    auto *image = controls().get<ClickableLabel>(imgImage);
    image->setPixmap(logo);
    controls()[Label4]->setCursor(Qt::PointingHandCursor);

    // OK comes first and has the focus when the window opens; Qt would give
    // that first focus to the default button unless told otherwise.
    controls()[cmdOK]->setFocus();

    connect(controls().get<QPushButton>(cmdOK), &QPushButton::clicked, this, [this] { behaviour_.cmdOK_Click(); });
    connect(controls().get<QPushButton>(cmdWebsite), &QPushButton::clicked, this,
            [this] { behaviour_.cmdWebsite_Click(); });
    connect(image, &ClickableLabel::clicked, this, [this](Qt::KeyboardModifiers modifiers) {
        behaviour_.imgImage_Click(modifiers.testFlag(Qt::ControlModifier));
    });
    connect(controls().get<ClickableLabel>(Label4), &ClickableLabel::clicked, this,
            [this] { behaviour_.Label4_Click(); });

    behaviour_.Form_Load();
}

void frmAbout::openWebsite()
{
    if (showWebsite_)
        showWebsite_();
}

} // namespace vantrel
