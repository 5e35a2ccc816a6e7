#pragma once

#include "windows/design/window_view.h"

struct HWND__;

namespace vantrel::win32_windows {

// A modal MessageBoxW owned by the window, without an icon; widened where
// its title would not fit, and Escape answers No on a Yes/No box.
design::MessageAnswer showMessageBox(HWND__ *owner, const design::Message &message);

} // namespace vantrel::win32_windows
