#include "windows/design/frmKeys_design.h"

namespace vantrel::design::frmKeys {

namespace {

constexpr ControlDesign kControls[] = {
    {.id = lstKeys,
     .kind = ControlKind::ListBox,
     .rect = {60, 60, 5235, 1815},
     .tabIndex = 0,
     .accessibleName = u"Key bindings"},
    {.id = cmdClose,
     .kind = ControlKind::PushButton,
     .caption = u"Close",
     .rect = {4080, 1980, 1215, 495},
     .tabIndex = 1,
     .isDefault = true},
    {.id = cmdExecute,
     .kind = ControlKind::PushButton,
     .caption = u"Execute",
     .rect = {2760, 1980, 1215, 495},
     .tabIndex = 2},
    {.id = lblExeName,
     .kind = ControlKind::Label,
     .rect = {60, 2040, 2595, 375},
     .font = Font{"MS Sans Serif", 12},
     .tabIndex = 3,
     .takesFocus = false,
     .alignment = Alignment::Centre,
     .border = Border::Single,
     .showsTextEnd = true},
};

constexpr WindowDesign kWindow{.name = "frmKeys",
                               .caption = u"View Key Configuration",
                               .clientSize = {5340, 2535},
                               .font = Font{"MS Sans Serif", 8.25},
                               .frame = WindowFrame::FixedDialog,
                               .controls = kControls};

} // namespace

const WindowDesign &window() { return kWindow; }

} // namespace vantrel::design::frmKeys
