#pragma once

#include "windows/design/control_design.h"
#include "windows/win32/designed_window.h"

#include <windows.h>

#include <string>
#include <vector>

namespace vantrel::test {

// The DPI the test run expects its windows at: the LogPixels its Wine
// prefix was given (VANTREL_TEST_DPI), 96 where none was.
int expectedDpi();

// The design's twips in pixels at the DPI, to the nearest pixel.
int pixels(int twips, int dpi);

// Where the design puts a control, in pixels of the window's client area:
// a frame's controls from the frame's corner, a picture box's from inside
// its border as the system draws it.
RECT designedRect(const win32_windows::DesignedWindow &window, const design::ControlDesign &control, int dpi);

// Where the control is, in pixels of the window's client area.
RECT actualRect(const win32_windows::DesignedWindow &window, HWND control);

// The controls in the order Tab visits them, from the first.
std::vector<HWND> tabOrder(const win32_windows::DesignedWindow &window);

// Hands the queued messages to the designed windows and dispatches them, as
// the program's loop does.
void pumpMessages();

std::wstring textOf(HWND window);

// Checks that each image of the window that shows the logo shows it, as the
// screen shows the window: the logo's night sky along the top of the image's
// designed place at the DPI, right up to its corners and not beyond, and the
// flame in its middle.
void expectShowsTheLogo(const win32_windows::DesignedWindow &window, int dpi);

// A window that is never shown, to own the windows under test as the
// program's own hidden window owns them.
HWND hiddenOwner();

} // namespace vantrel::test
