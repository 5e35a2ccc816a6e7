#pragma once

#include "bindings_file.h"
#include "child_process.h"
#include "launch_probe_desktop.h"
#include "wayland_desktop.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vantrel::test {

// The real program on the Wayland session of scripts/with-kwin, as a user
// has it: a panel with a tray, another program's window holding the focus,
// and bindings to targets on a private desktop whose openings are recorded.
class WaylandProgram : public ::testing::Test {
protected:
    // Binds the keys ("F6" to "F11") to targets of their own, and F12 to the
    // entry that tells when the program watches the keys.
    void bind(const std::vector<std::string> &keys);

    // Starts the program; its standard error goes to errors().
    std::unique_ptr<ChildProcess> start(const std::map<std::string, std::string> &environment = {});

    // Taps F12 until the program opens its entry once more, as it does once
    // the desktop has handed it the keys; the taps it took.
    int waitUntilWatching();

    // How often the key's target was opened.
    std::size_t opensOf(const std::string &key) const;
    std::size_t opens() const { return desktop.records().size(); }

    std::string errors() const;
    std::filesystem::path errorsFile() const { return desktop.root() / "errors"; }

    // The program's windows shown now, by title.
    std::vector<std::string> windowsOf(const ChildProcess &program) const;

    ProbeDesktop desktop;
    Tray tray;
    RecordingWindow window;
    WaylandKeyboard keyboard;

private:
    std::vector<std::pair<std::string, std::filesystem::path>> bindings_;
};

} // namespace vantrel::test
