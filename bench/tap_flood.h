#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace vantrel::platform {
class KeySource;
}
namespace vantrel::test {
class X11TestKeyboard;
}

namespace vantrel::bench {

struct TapFloodResult {
    int taps = 0;
    int opens = 0;
    int lost = 0;                    // taps that opened nothing
    int doubled = 0;                 // opens beyond one a tap
    std::vector<double> latenciesMs; // key press sent to open request
};

// Sends one tap of a key (slot 0 for F6 ... 6 for F12) on a thread of the
// flood's own, and says when its press went out.
using TapInjector = std::function<std::chrono::steady_clock::time_point(std::size_t slot)>;

// Taps F6 to F12 in turn through the injector, each tap followed by a pause
// of nextSpacing(), while the key source and the real poller run in this
// process with an opener that only records; every open request is matched
// to its tap. F12 is tapped first until the source sees it, for sources
// that get the keys some time after they start.
TapFloodResult runTapFlood(platform::KeySource &source, const TapInjector &inject, int taps,
                           const std::function<std::chrono::microseconds()> &nextSpacing);

// Taps through XTest on the keyboard's display.
TapInjector xTestInjector(test::X11TestKeyboard &keyboard);

} // namespace vantrel::bench
