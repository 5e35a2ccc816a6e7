#include "windows/design/frmConfig_design.h"

#include "windows/design/frmAbout_design.h"
#include "windows/design/product_texts.h"

namespace vantrel::design::frmConfig {

namespace {

constexpr Font kWindowFont{"Comic Sans MS", 8.25};

// The three controls of a row share their columns, sizes and fonts; the rows
// differ in their tops, the labels in their widths, and the path box and
// button in their tab indexes. The label sits 60 twips below the row's top.
constexpr ControlDesign rowLabel(int slot, std::u16string_view caption, int top, int width, int tabIndex)
{
    return {.id = {"Key", slot},
            .kind = ControlKind::Label,
            .caption = caption,
            .container = Frame1,
            .rect = {120, top + 60, width, 240},
            .font = Font{"Comic Sans MS", 8.25, true},
            .tabIndex = tabIndex,
            .takesFocus = false,
            .sizedToText = true};
}

// The program alone fills a path box; the focus never stays in it.
constexpr ControlDesign pathBox(std::string_view name, int slot, int top, int tabIndex)
{
    return {.id = {name},
            .kind = ControlKind::TextBox,
            .container = Frame1,
            .rect = {480, top, 2970, 285},
            .tabIndex = tabIndex,
            .readOnly = true,
            .labelledBy = ControlId{"Key", slot}};
}

constexpr ControlDesign browseButton(std::string_view name, int top, int tabIndex, std::u16string_view accessibleName)
{
    return {.id = {name},
            .kind = ControlKind::PushButton,
            .caption = u"Browse",
            .container = Frame1,
            .rect = {3480, top, 735, 255},
            .tabIndex = tabIndex,
            .accessibleName = accessibleName};
}

constexpr ControlDesign kControls[] = {
    // The banner; imgAbout, in front of the rest, takes every click on it.
    {.id = imgLogo,
     .kind = ControlKind::PictureBox,
     .rect = {60, 60, 1320, 3540},
     .font = Font{"MS Sans Serif", 8.25},
     .tabIndex = 24,
     .takesFocus = false,
     .border = Border::Sunken},
    {.id = Image1,
     .kind = ControlKind::Image,
     .container = imgLogo,
     .rect = {180, 60, 960, 1920},
     .takesFocus = false,
     .picture = Picture::Logo,
     .accessibleName = u"Vantrel logo"},
    // Opaque: the name covers the foot of the picture.
    {.id = Label1,
     .kind = ControlKind::Label,
     .caption = kProductName,
     .container = imgLogo,
     .rect = {60, 1800, 1155, 375},
     .font = Font{"Comic Sans MS", 12},
     .tabIndex = 25,
     .takesFocus = false,
     .alignment = Alignment::Centre,
     .opaque = true},
    {.id = Label2,
     .kind = ControlKind::Label,
     .caption = kRightsNotice,
     .container = imgLogo,
     .rect = {120, 3060, 1035, 375},
     .font = Font{"Comic Sans MS", 6},
     .tabIndex = 26,
     .takesFocus = false,
     .alignment = Alignment::Centre,
     .wordWrap = true},
    {.id = Label3,
     .kind = ControlKind::Label,
     .caption = u"(About)",
     .container = imgLogo,
     .rect = {390, 2100, 465, 180},
     .font = Font{"Arial", 6.75},
     .tabIndex = 27,
     .takesFocus = false,
     .alignment = Alignment::Centre,
     .sizedToText = true},
    {.id = imgAbout,
     .kind = ControlKind::Image,
     .container = imgLogo,
     .rect = {0, 0, 1275, 3495},
     .takesFocus = false,
     .transparent = true,
     .accessibleName = frmAbout::kCaption},

    {.id = Frame1,
     .kind = ControlKind::Frame,
     .caption = u"Keys",
     .rect = {1440, 60, 4275, 2895},
     .font = Font{"Comic Sans MS", 9.75, true},
     .tabIndex = 0,
     .takesFocus = false},
    rowLabel(0, u"F6", 300, 210, 1),
    pathBox("txtF6", 0, 300, 8),
    browseButton("cmdF6", 300, 9, u"Browse for F6"),
    rowLabel(1, u"F7", 660, 210, 2),
    pathBox("txtF7", 1, 660, 11),
    browseButton("cmdF7", 660, 10, u"Browse for F7"),
    rowLabel(2, u"F8", 1020, 210, 3),
    pathBox("txtF8", 2, 1020, 13),
    browseButton("cmdF8", 1020, 12, u"Browse for F8"),
    rowLabel(3, u"F9", 1380, 210, 4),
    pathBox("txtF9", 3, 1380, 15),
    browseButton("cmdF9", 1380, 14, u"Browse for F9"),
    rowLabel(4, u"F10", 1740, 315, 5),
    pathBox("txtF10", 4, 1740, 17),
    browseButton("cmdF10", 1740, 16, u"Browse for F10"),
    rowLabel(5, u"F11", 2100, 315, 6),
    pathBox("txtF11", 5, 2100, 19),
    browseButton("cmdF11", 2100, 18, u"Browse for F11"),
    rowLabel(6, u"F12", 2460, 315, 7),
    pathBox("txtF12", 6, 2460, 21),
    browseButton("cmdF12", 2460, 20, u"Browse for F12"),

    {.id = cmdCancel,
     .kind = ControlKind::PushButton,
     .caption = u"Cancel",
     .rect = {3960, 3060, 855, 495},
     .font = Font{"Comic Sans MS", 12},
     .tabIndex = 23},
    {.id = cmdOK,
     .kind = ControlKind::PushButton,
     .caption = u"&OK",
     .rect = {4860, 3060, 855, 495},
     .font = Font{"Comic Sans MS", 12, true},
     .tabIndex = 22,
     .isDefault = true},
};

constexpr WindowDesign kWindow{.name = "frmConfig",
                               .caption = u"Vantrel Configuration",
                               .clientSize = {5775, 3630},
                               .font = kWindowFont,
                               .frame = WindowFrame::FixedWithMenu,
                               .carriesProgramIcon = true,
                               .controls = kControls};

constexpr MenuItemDesign kMenu[] = {
    {mnuConfig, u"&Configure"},
    {mnuView, u"&View Keys"},
    {sep1, u"-"},
    {mnuExit, u"E&xit"},
};

} // namespace

const WindowDesign &window() { return kWindow; }

std::span<const MenuItemDesign> menu() { return kMenu; }

std::u16string_view trayTip() { return kProductName; }

} // namespace vantrel::design::frmConfig
