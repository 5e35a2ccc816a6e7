#include "windows/design/frmWB_design.h"

#include "windows/design/product_texts.h"

namespace vantrel::design::frmWB {

namespace {

// The strip's buttons share their top and height; neighbours overlap by one
// pixel, so that the strip reads as one.
constexpr ControlDesign stripButton(ControlId id, int left, int width, std::u16string_view caption, int tabIndex)
{
    return {.id = id,
            .kind = ControlKind::PushButton,
            .caption = caption,
            .container = picButtons,
            .rect = {left, 0, width, 495},
            .tabIndex = tabIndex};
}

constexpr ControlDesign blank(ControlId id, int left)
{
    return {.id = id,
            .kind = ControlKind::PushButton,
            .container = picButtons,
            .rect = {left, 0, 255, 495},
            .font = Font{"MS Sans Serif", 8.25},
            .enabled = false,
            .takesFocus = false};
}

constexpr ControlDesign kControls[] = {
    // Sized by the layout as soon as the window is.
    {.id = WB1,
     .kind = ControlKind::WebBrowser,
     .rect = {60, 60, 4575, 2835},
     .tabIndex = 0,
     .accessibleName = u"Website"},
    {.id = picButtons,
     .kind = ControlKind::PictureBox,
     .rect = {60, 4620, 8775, 555},
     .tabIndex = 1,
     .takesFocus = false,
     .border = Border::Sunken},
    stripButton(cmdMorvaskSite, 0, 2475, u"Morvask\u2122 Website", 2),
    stripButton(cmdBack, 2700, 1215, u"\u00AB Back", 3),
    stripButton(cmdForward, 3900, 1215, u"Forward \u00BB", 4),
    stripButton(cmdStop, 5100, 1215, u"Stop", 5),
    stripButton(cmdRefresh, 6300, 1215, u"Refresh", 6),
    stripButton(cmdClose, 7500, 1215, u"Close", 7),
    blank(cmdSpace[0], 2460),
    blank(cmdSpace[1], 8700),
};

constexpr WindowDesign kWindow{.name = "frmWB",
                               .caption = kWebsiteCaption,
                               .clientSize = {8880, 5190},
                               .font = Font{"Comic Sans MS", 9.75, true},
                               .frame = WindowFrame::SizableTaskBar,
                               .carriesProgramIcon = true,
                               .controls = kControls};

} // namespace

const WindowDesign &window() { return kWindow; }

} // namespace vantrel::design::frmWB
