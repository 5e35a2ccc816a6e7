#pragma once

#include "windows/design/control_design.h"

#include <array>

// The website window: the embedded browser above a strip of buttons.
namespace vantrel::design::frmWB {

const WindowDesign &window();

inline constexpr ControlId WB1{"WB1"};
inline constexpr ControlId picButtons{"picButtons"};
inline constexpr ControlId cmdMorvaskSite{"cmdMorvaskSite"};
inline constexpr ControlId cmdBack{"cmdBack"};
inline constexpr ControlId cmdForward{"cmdForward"};
inline constexpr ControlId cmdStop{"cmdStop"};
inline constexpr ControlId cmdRefresh{"cmdRefresh"};
inline constexpr ControlId cmdClose{"cmdClose"};
// The blank, disabled buttons: index 0 between the site button and Back,
// index 1 filling the strip to its right end.
inline constexpr std::array<ControlId, 2> cmdSpace{ControlId{"cmdSpace", 0}, ControlId{"cmdSpace", 1}};

// Command codes of the browser's availability reports.
inline constexpr int CSC_NAVIGATEFORWARD = 1;
inline constexpr int CSC_NAVIGATEBACK = 2;

} // namespace vantrel::design::frmWB
