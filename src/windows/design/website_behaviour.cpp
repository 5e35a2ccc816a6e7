#include "windows/design/website_behaviour.h"

#include "windows/design/product_texts.h"

#include <algorithm>

namespace vantrel::design {

using namespace frmWB;

TwipsSize WebsiteBehaviour::minimumClientArea() { return window().clientSize; }

// The browser keeps its designed top left corner and ends 20 twips short of
// the right edge; the strip sits 50 twips below it and ends 30 above the
// bottom edge; the right-hand blank keeps its left edge and is as wide as the
// whole strip, which clips it, so that it always fills the strip to its end.
// Below the minimum the layout is that of the minimum.
WebsiteLayout WebsiteBehaviour::layoutFor(TwipsSize clientArea)
{
    const auto minimum = minimumClientArea();
    const int width = std::max(clientArea.width, minimum.width);
    const int height = std::max(clientArea.height, minimum.height);
    const TwipsRect browser0 = window().control(WB1).rect;
    const TwipsRect strip0 = window().control(picButtons).rect;
    const TwipsRect blank0 = window().control(cmdSpace[1]).rect;

    const TwipsRect browser{browser0.left, browser0.top, width - 80, height - 695};
    const TwipsRect strip{strip0.left, browser.top + browser.height + 50, browser.width, strip0.height};
    return {browser, strip, {blank0.left, blank0.top, strip.width, blank0.height}};
}

void WebsiteBehaviour::Form_Load() { view_.navigate(websiteAddress_); }

void WebsiteBehaviour::Form_Resize(TwipsSize clientArea)
{
    const auto layout = layoutFor(clientArea);
    view_.place(WB1, layout.browser);
    view_.place(picButtons, layout.buttonStrip);
    view_.place(cmdSpace[1], layout.rightBlank);
}

void WebsiteBehaviour::cmdMorvaskSite_Click() { view_.navigate(websiteAddress_); }

void WebsiteBehaviour::cmdBack_Click() { view_.goBack(); }

void WebsiteBehaviour::cmdForward_Click() { view_.goForward(); }

void WebsiteBehaviour::cmdStop_Click() { view_.stop(); }

void WebsiteBehaviour::cmdRefresh_Click() { view_.refresh(); }

void WebsiteBehaviour::cmdClose_Click() { view_.closeWindow(); }

// Other command codes occur and change nothing.
void WebsiteBehaviour::WB1_CommandStateChange(int Command, bool Enable)
{
    if (Command == CSC_NAVIGATEFORWARD)
        view_.enable(cmdForward, Enable);
    else if (Command == CSC_NAVIGATEBACK)
        view_.enable(cmdBack, Enable);
}

// The title is compared exactly, character by character and case included.
void WebsiteBehaviour::WB1_DocumentComplete()
{
    const auto title = view_.locationName();
    view_.setCaption(std::u16string(kWebsiteCaption) + std::u16string(kWebsiteCaptionSeparator) + title);
    if (title == kTrumpetPageTitle)
        sound_.play(std::string(kTrumpetSound));
}

} // namespace vantrel::design
