#pragma once

#include "windows/design/control_design.h"
#include "windows/win32/com_pointer.h"

#include <span>
#include <vector>

// This header stays free of <windows.h>: see designed_window.h.
struct HWND__;
struct IAccPropServices;

namespace vantrel::win32_windows {

// What screen readers announce for the controls whose design names them
// beyond their captions: the system's accessibility annotations (oleacc),
// held while the controls live. A control named by a label needs none: the
// system names it after the label that lies directly before it.
class AccessibleNames {
public:
    AccessibleNames();
    ~AccessibleNames();
    AccessibleNames(const AccessibleNames &) = delete;
    AccessibleNames &operator=(const AccessibleNames &) = delete;

    // controls: the windows made for the design's controls, in its order,
    // null for a control that has no window of its own. False when the
    // system took none of the names.
    bool give(const design::WindowDesign &design, std::span<HWND__ *const> controls);
    // Takes the names back, before the controls go.
    void clear();

private:
    bool joinedApartment_ = false;
    ComPointer<IAccPropServices> services_;
    std::vector<HWND__ *> named_;
};

} // namespace vantrel::win32_windows
