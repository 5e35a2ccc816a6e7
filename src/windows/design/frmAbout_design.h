#pragma once

#include "windows/design/control_design.h"

// The about window: name, logo, rights notice, version, credits, the
// author's address, Website and OK.
namespace vantrel::design::frmAbout {

const WindowDesign &window();

inline constexpr std::u16string_view kCaption = u"About Vantrel";

inline constexpr ControlId Label1{"Label1"};
inline constexpr ControlId imgImage{"imgImage"};
inline constexpr ControlId Label2{"Label2"};
inline constexpr ControlId Label5{"Label5"};
inline constexpr ControlId Label3{"Label3"};
inline constexpr ControlId Label4{"Label4"};
inline constexpr ControlId cmdWebsite{"cmdWebsite"};
inline constexpr ControlId cmdOK{"cmdOK"};

} // namespace vantrel::design::frmAbout
