#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace vantrel::bench {

struct TapFloodResult {
    int taps = 0;
    int opens = 0;
    int lost = 0;    // taps that opened nothing
    int doubled = 0; // opens beyond one a tap
    std::vector<double> latenciesMs; // key press sent to open request
};

// Taps F6 to F12 in turn through XTest, each tap followed by a pause of
// nextSpacing(), while the real key source and poller run in this process
// with an opener that only records; every open request is matched to its tap.
TapFloodResult runTapFlood(int taps, const std::function<std::chrono::microseconds()> &nextSpacing);

} // namespace vantrel::bench
