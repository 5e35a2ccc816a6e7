#include "windows/design/frmAbout_design.h"

#include "windows/design/product_texts.h"

namespace vantrel::design::frmAbout {

namespace {

constexpr Colour kBlue{0, 0, 255};
constexpr Font kButtonFont{"Comic Sans MS", 12, true};

constexpr ControlDesign kControls[] = {
    {.id = Label1,
     .kind = ControlKind::Label,
     .caption = u"Vantrel\u2122",
     .rect = {1080, 0, 2760, 675},
     .font = Font{"Comic Sans MS", 24, true},
     .takesFocus = false,
     .sizedToText = true,
     .textColour = kBlue},
    {.id = imgImage,
     .kind = ControlKind::Image,
     .rect = {120, 180, 480, 960},
     .takesFocus = false,
     .stretchesPicture = true,
     .picture = Picture::Logo,
     .accessibleName = u"Vantrel logo"},
    {.id = Label2,
     .kind = ControlKind::Label,
     .caption = kRightsNotice,
     .rect = {660, 660, 3615, 795},
     .font = Font{"Comic Sans MS", 9.75, true},
     .takesFocus = false,
     .alignment = Alignment::Centre,
     .wordWrap = true},
    // Load puts the version after the caption.
    {.id = Label5,
     .kind = ControlKind::Label,
     .caption = u"Version:",
     .rect = {1853, 1320, 585, 195},
     .font = Font{"MS Sans Serif", 8.25},
     .takesFocus = false,
     .alignment = Alignment::Centre,
     .sizedToText = true},
    {.id = Label3,
     .kind = ControlKind::Label,
     .caption = kCredits,
     .rect = {120, 1560, 4095, 1335},
     .font = Font{"Comic Sans MS", 8.25},
     .takesFocus = false,
     .wordWrap = true},
    // A link: clicked, it opens a new mail to the address.
    {.id = Label4,
     .kind = ControlKind::Label,
     .caption = kContactAddress,
     .rect = {1185, 2940, 1935, 195},
     .font = Font{"MS Sans Serif", 8.25, false, true},
     .takesFocus = false,
     .sizedToText = true,
     .textColour = kBlue},
    {.id = cmdWebsite,
     .kind = ControlKind::PushButton,
     .caption = u"&Website",
     .rect = {60, 3240, 1215, 495},
     .font = kButtonFont,
     .tabIndex = 1,
     .isDefault = true},
    {.id = cmdOK,
     .kind = ControlKind::PushButton,
     .caption = u"&OK",
     .rect = {3060, 3240, 1215, 495},
     .font = kButtonFont,
     .tabIndex = 0},
};

constexpr WindowDesign kWindow{.name = "frmAbout",
                               .caption = kCaption,
                               .clientSize = {4290, 3810},
                               .font = Font{"MS Sans Serif", 8.25},
                               .frame = WindowFrame::FixedDialog,
                               .controls = kControls};

} // namespace

const WindowDesign &window() { return kWindow; }

} // namespace vantrel::design::frmAbout
