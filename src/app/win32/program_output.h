#pragma once

#include <string>

namespace vantrel::win32_app {

// Hands what the program has to say on its command line to the user:
// written to standard output or standard error where they lead somewhere
// (a pipe, a file, the console vantrel.exe was started from), otherwise
// shown in a message box, since a program started from Explorer or a
// shortcut has no console to write to. Texts are UTF-8.
void deliverOutput(const std::string &out, const std::string &err);

} // namespace vantrel::win32_app
