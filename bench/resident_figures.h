#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace vantrel::bench {

struct ResidentFigures {
    std::vector<double> startupMs; // program started to F12 watched, per start
    // Wake-ups while idle: voluntary context switches of each thread.
    std::vector<std::pair<std::string, long>> idleWakeupsByThread;
    long idleWakeups = 0;
    // After the idle period: VmRSS, and its private (anonymous) part; the
    // rest is mostly shared library pages.
    long residentKiB = 0;
    long residentAnonymousKiB = 0;
};

// Runs the real program on a private desktop with a tray: starts it several
// times to time how soon it watches the keys, then leaves the last one idle.
ResidentFigures measureResident(const std::string &program, int starts, std::chrono::seconds idle);

// The wake-ups of a running process left alone for the idle period, and its
// memory after it (startupMs stays empty).
ResidentFigures measureIdle(pid_t pid, std::chrono::seconds idle);

} // namespace vantrel::bench
