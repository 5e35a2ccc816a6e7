#pragma once

// The program's one way of handling its thread's messages, so that the
// windows' keyboard use (Tab, Enter, Escape, Alt+letter) works in every loop
// that runs them.
namespace vantrel::win32_windows {

// Handles every message waiting now. False once the program is to end
// (WM_QUIT came; it is posted again for the outer loop).
bool pumpWaitingMessages();

// Handles messages until the program is to end; returns its exit status.
int runMessageLoop();

} // namespace vantrel::win32_windows
