// The soak: F6 to F12 pressed in turn through XTest, 100,000 times by
// default, into the real program, whose bound targets are recorders (see
// tests/support/soak.h). Prints the open requests counted, the program's memory,
// descriptors, threads and processes before, during and after, and how long
// it took. Exits non-zero when an open request is missing or doubled, when
// the program kept more than it had, or when it did not end cleanly through
// its tray menu. Needs an X server: run it through bench/run-soak.
//
//   soak_bench PATH-TO-VANTREL [PRESSES] [SAMPLES]

#include "soak.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

using namespace vantrel::test;

namespace {

// Growth beyond this over the whole soak counts as kept: at 100,000
// presses, a leak of 10 bytes a press.
constexpr long kResidentMarginKiB = 1024;

// rate: presses a second since the previous row, if known.
void printRow(const std::string &label, const ProcessFigures &figures, double rate = 0)
{
    std::printf("%-22s %10.1f %10.1f %6d %8d %10d %7s", label.c_str(), figures.residentKiB / 1024.0,
                figures.anonymousKiB / 1024.0, figures.descriptors, figures.threads, figures.descendants,
                figures.zombieChild ? "yes" : "no");
    if (rate > 0)
        std::printf(" %10.0f", rate);
    std::printf("\n");
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PATH-TO-VANTREL [PRESSES] [SAMPLES]\n", argv[0]);
        return 2;
    }
    const int presses = argc > 2 ? std::stoi(argv[2]) : 100000;
    const int samples = argc > 3 ? std::stoi(argv[3]) : 10;
    const SoakResult result = runSoak(argv[1], TRAYER_EXECUTABLE, presses, samples);

    std::printf("Soak: %d presses of F6 to F12 through XTest into %s\n\n", presses, argv[1]);
    std::printf("%-6s %10s %10s\n", "key", "presses", "opens");
    std::vector<std::string> keys;
    for (const auto &entry : result.pressesByKey)
        keys.push_back(entry.first);
    // F6 before F10.
    std::sort(keys.begin(), keys.end(),
              [](const auto &a, const auto &b) { return std::stoi(a.substr(1)) < std::stoi(b.substr(1)); });
    for (const auto &key : keys)
        std::printf("%-6s %10d %10d\n", key.c_str(), result.pressesByKey.at(key), result.opensByKey.at(key));
    std::printf("%-6s %10d %10d\n", "all", result.presses, result.opens);
    std::printf("stray open requests: %d\n", result.strayOpens);
    std::printf("time: %.1f s, %.0f presses/s\n\n", result.elapsed.count(), result.presses / result.elapsed.count());

    std::printf("%-22s %10s %10s %6s %8s %10s %7s %10s\n", "the program", "VmRSS MiB", "anon MiB", "fds", "threads",
                "processes", "zombie", "presses/s");
    printRow("before (settled)", result.before);
    SoakSample previous;
    for (const auto &sample : result.samples) {
        const double rate = (sample.presses - previous.presses) / (sample.elapsed - previous.elapsed).count();
        printRow("at " + std::to_string(sample.presses) + " (" +
                     std::to_string(static_cast<int>(sample.elapsed.count())) + " s)",
                 sample.figures, rate);
        previous = sample;
    }
    printRow("after (settled)", result.after);
    const long grown = result.after.anonymousKiB - result.before.anonymousKiB;
    std::printf("private memory grown: %ld KiB, %.1f bytes a press\n\n", grown, grown * 1024.0 / presses);

    const auto faults = soakFaults(result, kResidentMarginKiB);
    for (const auto &fault : faults)
        std::printf("FAULT: %s\n", fault.c_str());
    const bool good = faults.empty();
    std::printf("%s\n", good ? "PASS" : "FAIL");
    return good ? 0 : 1;
}
