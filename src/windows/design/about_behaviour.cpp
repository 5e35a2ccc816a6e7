#include "windows/design/about_behaviour.h"

#include "version.h"
#include "windows/design/product_texts.h"
#include "windows/design/text.h"

#include <string>

namespace vantrel::design {

using namespace frmAbout;

std::u16string AboutBehaviour::versionText()
{
    return std::u16string(kVersionPrefix) + fromAscii(std::to_string(version::major)) + u"." +
           fromAscii(std::to_string(version::minor));
}

void AboutBehaviour::Form_Load() { view_.setText(Label5, versionText()); }

void AboutBehaviour::cmdOK_Click() { view_.closeWindow(); }

void AboutBehaviour::cmdWebsite_Click() { view_.openWebsite(); }

// The answers to the second and third boxes do not matter; a box that went
// away unanswered ends the dialogue.
void AboutBehaviour::imgImage_Click(bool controlHeld)
{
    if (!controlHeld)
        return;
    const auto answer = view_.showMessage({std::u16string(kHiddenQuestion), kProductName, MessageButtons::YesNo});
    if (answer == MessageAnswer::Yes)
        view_.showMessage({std::u16string(kHiddenAnswerToYes), kProductName});
    if (answer == MessageAnswer::No)
        view_.showMessage({std::u16string(kHiddenAnswerToNo), kProductName});
}

void AboutBehaviour::Label4_Click() { opener_.open(std::u16string(kMailLinkScheme) + std::u16string(kContactAddress)); }

} // namespace vantrel::design
