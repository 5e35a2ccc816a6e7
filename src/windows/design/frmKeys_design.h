#pragma once

#include "windows/design/control_design.h"

// The key list window: the list of the seven bindings, the file name of the
// selected line, Execute and Close.
namespace vantrel::design::frmKeys {

const WindowDesign &window();

inline constexpr ControlId lstKeys{"lstKeys"};
inline constexpr ControlId cmdClose{"cmdClose"};
inline constexpr ControlId cmdExecute{"cmdExecute"};
inline constexpr ControlId lblExeName{"lblExeName"};

// Every list line starts with the key's label padded with blanks to this
// width; the path follows directly.
inline constexpr std::size_t kKeyLabelWidth = 6;

} // namespace vantrel::design::frmKeys
