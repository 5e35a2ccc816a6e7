#pragma once

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::test {

// What the soak watches of the resident program.
struct ProcessFigures {
    long residentKiB = 0;  // VmRSS
    long anonymousKiB = 0; // RssAnon: the private part, where a leak shows
    int descriptors = 0;   // entries of /proc/PID/fd
    int threads = 0;
    int descendants = 0; // live processes below it
    bool zombieChild = false;
};

ProcessFigures figuresOf(pid_t pid);

// A snapshot taken while the presses go on.
struct SoakSample {
    int presses = 0;
    std::chrono::duration<double> elapsed{};
    ProcessFigures figures;
};

struct SoakResult {
    int presses = 0;
    int opens = 0;                         // lines the recorders wrote during the soak
    std::map<std::string, int> opensByKey; // "F6" to "F12"
    std::map<std::string, int> pressesByKey;
    int strayOpens = 0;    // lines naming nothing that was bound
    ProcessFigures before; // settled, after a warm-up
    ProcessFigures after;  // settled, once every open request is done
    std::vector<SoakSample> samples;
    std::chrono::duration<double> elapsed{}; // first press to last open request
    bool stillRunning = false;               // the program outlived the soak
    // Once ended through "E&xit" in its tray menu, where a sanitizer build
    // reports leaks; nothing when it did not end by itself.
    std::optional<int> exitStatus;
};

// Runs the real program on a private desktop with a tray and presses F6 to
// F12 in turn through XTest on $DISPLAY, presses times in all. The keys are
// bound to the three kinds of target the opener knows, each a recorder that
// writes one line per run: an executable (F6, F9, F12), a .desktop entry
// (F7, F10) and a text document opened by its registered handler (F8, F11).
// At most a few dozen open requests are under way at once, so that the
// program is measured, not the backlog. samples snapshots are spread over
// the run. At the end the program is left through its tray menu.
SoakResult runSoak(const std::string &program, const std::string &trayer, int presses, int samples = 0);

// What went wrong, one line each: an open request missing, doubled or
// stray, the program gone, or the program holding more after than before.
// Freed memory is not always handed back to the system at once, and thread
// pools come and go with their descriptors: residentMarginKiB and a few
// descriptors are allowed.
std::vector<std::string> soakFaults(const SoakResult &result, long residentMarginKiB);

} // namespace vantrel::test
