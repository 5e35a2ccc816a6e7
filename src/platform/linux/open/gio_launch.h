#pragma once

#include <string>

// The ways the desktop opens something. Each runs to its end on the calling
// thread and returns an empty text on success, or the reason it failed. Every
// program started runs in a session of its own, so that the end of ours (or
// of the terminal it was started from) does not take it along. None of them
// involves a shell.
namespace vantrel::platform::linux_backend {

// The default application for the address's scheme, or for the type of the
// file a file: address names.
std::string openWithDefaultHandler(const std::string &uri);

// The same for an absolute path.
std::string openFileWithDefaultHandler(const std::string &path);

// What a .desktop file describes: the application of an Application entry,
// the address of a Link entry. Nothing else of the file runs.
std::string openDesktopEntry(const std::string &path);

// Runs the program with its own path as the only argument, in a session of
// its own, with only the standard descriptors, reaped when it ends (see
// reapWhenEnded). A file the kernel refuses to run fails: it is never handed
// to a shell instead.
std::string runProgram(const std::string &path);

} // namespace vantrel::platform::linux_backend
