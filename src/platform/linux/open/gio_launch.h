#pragma once

#include <functional>
#include <string>

// The three ways the desktop opens something, through GIO. Each is started
// on a thread whose thread-default main context runs; done is called there
// once the launch has succeeded (with an empty text) or failed (with the
// reason). None of them involves a shell.
namespace vantrel::platform::linux_backend {

using LaunchDone = std::function<void(const std::string &failure)>;

// The default application for the address's scheme, or for the type of the
// file a file: address names. File-type detection happens off this thread.
void openWithDefaultHandler(const std::string &uri, LaunchDone done);

// The same for an absolute path.
void openFileWithDefaultHandler(const std::string &path, LaunchDone done);

// The application a .desktop file describes; nothing else of the file runs.
void launchDesktopEntry(const std::string &path, LaunchDone done);

// Runs the program with its own path as the only argument, in a session of
// its own, with only the standard descriptors, reaped when it ends.
void runProgram(const std::string &path, LaunchDone done);

} // namespace vantrel::platform::linux_backend
