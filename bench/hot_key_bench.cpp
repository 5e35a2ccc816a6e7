// The hot keys under load and at rest. Prints two tables:
//  - taps: 1,000 taps of F6 to F12 injected through XTest at several
//    spacings, the real key source and poller counting them in this process:
//    open requests, lost and doubled taps, key press to open request latency;
//  - resident: the real program's start-up to watching the keys, its wake-ups
//    over an idle period and its resident memory.
// Needs an X server: run it through bench/run-hot-keys.
//
//   hot_key_bench PATH-TO-VANTREL [TAPS] [IDLE-SECONDS]

#include "bench_stats.h"
#include "resident_figures.h"
#include "tap_flood.h"

#include "platform/linux/keys/x11_key_source.h"
#include "x11_test_keyboard.h"

#include <X11/Xlib.h>

#include <cstdio>
#include <random>
#include <string>

using namespace vantrel;
using namespace vantrel::bench;
using std::chrono::microseconds;
using std::chrono::milliseconds;

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PATH-TO-VANTREL [TAPS] [IDLE-SECONDS]\n", argv[0]);
        return 2;
    }
    const std::string program = argv[1];
    const int taps = argc > 2 ? std::stoi(argv[2]) : 1000;
    const auto idle = std::chrono::seconds(argc > 3 ? std::stoi(argv[3]) : 10);
    XInitThreads();

    std::mt19937 random(7);
    std::uniform_int_distribution<int> anySpacing(1000, 30000);
    const std::vector<std::pair<std::string, std::function<microseconds()>>> spacings{
        {"1 ms", [] { return microseconds(milliseconds(1)); }},
        {"5 ms", [] { return microseconds(milliseconds(5)); }},
        {"30 ms", [] { return microseconds(milliseconds(30)); }},
        {"1-30 ms random", [&] { return microseconds(anySpacing(random)); }},
    };

    // The injector runs on a thread of its own, on a connection of its own.
    test::X11TestKeyboard keyboard;
    std::printf("Taps of F6 to F12 through XTest, key source and poller in process\n");
    std::printf("%-16s %6s %6s %5s %8s %12s %12s %12s\n", "spacing", "taps", "opens", "lost", "doubled", "median ms",
                "p99 ms", "max ms");
    for (const auto &[label, next] : spacings) {
        platform::linux_backend::X11KeySource source;
        const auto result = runTapFlood(source, xTestInjector(keyboard), taps, next);
        std::printf("%-16s %6d %6d %5d %8d %12.3f %12.3f %12.3f\n", label.c_str(), result.taps, result.opens,
                    result.lost, result.doubled, quantile(result.latenciesMs, 0.5), quantile(result.latenciesMs, 0.99),
                    quantile(result.latenciesMs, 1.0));
        std::fflush(stdout);
    }

    const auto resident = measureResident(program, 5, idle);
    std::printf("\nThe resident program (%s)\n", program.c_str());
    std::printf("%-40s %12s %12s\n", "figure", "median", "max");
    std::printf("%-40s %12.1f %12.1f\n", "start-up to watching F12 (ms, 5 starts)", quantile(resident.startupMs, 0.5),
                quantile(resident.startupMs, 1.0));
    std::printf("%-40s %12ld\n", ("wake-ups over " + std::to_string(idle.count()) + " s idle").c_str(),
                resident.idleWakeups);
    for (const auto &[thread, woke] : resident.idleWakeupsByThread)
        std::printf("  %-38s %12ld\n", ("thread " + thread).c_str(), woke);
    std::printf("%-40s %12.1f\n", "resident memory, VmRSS (MiB)", static_cast<double>(resident.residentKiB) / 1024.0);
    std::printf("%-40s %12.1f\n", "  of it private, RssAnon (MiB)",
                static_cast<double>(resident.residentAnonymousKiB) / 1024.0);
    return 0;
}
