// Keys on Wayland next to X11, measured in one run on a headless KWin with
// an X server of its own beside it. Prints three tables:
//  - taps: F6 to F12 in turn, 30 ms apart, through the desktop portal (typed
//    through KWin's fake input) and through XInput2 (typed through XTest),
//    the key source and the real poller in this process: lost and doubled
//    taps, key press to open request;
//  - the real program on each route, with a StatusNotifierItem tray: its
//    wake-ups over an idle period and its resident memory;
//  - the real program on the portal route: from "vantrel --press F6"
//    started, and from F6 pressed, to the bound program running;
//  - the same program when its portal is killed: from the kill to F6
//    opening again (the program starting the portal itself), on a quiet
//    machine and with every core busy.
// Run it through bench/run-wayland-keys.
//
//   wayland_key_bench PATH-TO-VANTREL [TAPS] [IDLE-SECONDS]

#include "bench_stats.h"
#include "resident_figures.h"
#include "tap_flood.h"

#include "bindings_file.h"
#include "bus_service.h"
#include "cpu_load.h"
#include "launch_probe_desktop.h"
#include "platform/linux/keys/portal_key_source.h"
#include "platform/linux/keys/x11_key_source.h"
#include "platform/platform.h"
#include "private_x_server.h"
#include "wayland_desktop.h"
#include "x11_test_keyboard.h"
#include "x_client.h"

#include <X11/Xlib.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

using namespace vantrel;
using namespace vantrel::bench;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kPresses = 20;
constexpr int kRestarts = 5;

std::string keyOfSlot(std::size_t slot) { return "F" + std::to_string(6 + slot); }

void printTaps(const char *route, const TapFloodResult &result)
{
    std::printf("%-22s %6d %6d %5d %8d %12.3f %12.3f %12.3f\n", route, result.taps, result.opens, result.lost,
                result.doubled, quantile(result.latenciesMs, 0.5), quantile(result.latenciesMs, 0.99),
                quantile(result.latenciesMs, 1.0));
    std::fflush(stdout);
}

// When the launch probe's one record was written, on the steady clock.
Clock::time_point recordWritten(const test::ProbeDesktop &desktop)
{
    if (!test::waitUntil([&] { return !desktop.records().empty(); }))
        throw std::runtime_error("the bound program never ran");
    for (const auto &entry : fs::directory_iterator(desktop.recordsFolder())) {
        struct stat status {};
        if (entry.path().extension() == ".record" && stat(entry.path().c_str(), &status) == 0) {
            // The file system keeps wall-clock times.
            const auto written =
                std::chrono::system_clock::time_point(std::chrono::duration_cast<std::chrono::system_clock::duration>(
                    std::chrono::seconds(status.st_mtim.tv_sec) + std::chrono::nanoseconds(status.st_mtim.tv_nsec)));
            return Clock::now() -
                   std::chrono::duration_cast<Clock::duration>(std::chrono::system_clock::now() - written);
        }
    }
    throw std::runtime_error("the bound program's record went away");
}

double millisecondsSince(Clock::time_point start, Clock::time_point end)
{
    return std::chrono::duration<double, std::milli>(end - start).count();
}

// The real program on one route, with a tray, F6 bound to the launch probe.
struct RunningProgram {
    RunningProgram(const std::string &program, const std::map<std::string, std::string> &environment)
    {
        const fs::path target = desktop.root() / "target.desktop";
        desktop.writeDesktopEntry(target, "F6");
        test::writeBindingsFile(desktop.configHome(), {{"F6", target}});
        process = std::make_unique<test::ChildProcess>(std::vector<std::string>{program}, environment,
                                                       (desktop.root() / "errors").string());
        if (!test::waitUntil([&] { return !tray.items().empty(); }, std::chrono::seconds(30)))
            throw std::runtime_error("the program put no icon in the tray");
        // Past the program's own start-up timers and the desktop's binding.
        std::this_thread::sleep_for(std::chrono::seconds(4));
    }

    test::ProbeDesktop desktop;
    test::Tray tray;
    std::unique_ptr<test::ChildProcess> process;
};

void printResident(const char *route, const ResidentFigures &figures)
{
    std::printf("%-22s %10ld %12.1f %12.1f\n", route, figures.idleWakeups,
                static_cast<double>(figures.residentKiB) / 1024.0,
                static_cast<double>(figures.residentAnonymousKiB) / 1024.0);
    for (const auto &[thread, woke] : figures.idleWakeupsByThread)
        if (woke > 0)
            std::printf("  thread %-13s %10ld\n", thread.c_str(), woke);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PATH-TO-VANTREL [TAPS] [IDLE-SECONDS]\n", argv[0]);
        return 2;
    }
    const std::string program = argv[1];
    const int taps = argc > 2 ? std::stoi(argv[2]) : 200;
    const auto idle = std::chrono::seconds(argc > 3 ? std::stoi(argv[3]) : 10);
    XInitThreads();
    test::PrivateXServer xServer;
    if (!xServer.name())
        throw std::runtime_error("the X server did not start");
    setenv("DISPLAY", xServer.name()->c_str(), 1);
    const auto every30ms = [] { return std::chrono::microseconds(30000); };

    std::printf("Taps of F6 to F12, 30 ms apart, key source and poller in process\n");
    std::printf("%-22s %6s %6s %5s %8s %12s %12s %12s\n", "route", "taps", "opens", "lost", "doubled", "median ms",
                "p99 ms", "max ms");
    {
        platform::linux_backend::PortalKeySource source(platform::sharedUserNotice());
        test::WaylandKeyboard keyboard;
        printTaps("portal (fake input)",
                  runTapFlood(
                      source,
                      [&](std::size_t slot) {
                          return keyboard.type({"tap", test::WaylandKeyboard::code(keyOfSlot(slot))}).at(0);
                      },
                      taps, every30ms));
    }
    {
        platform::linux_backend::X11KeySource source;
        test::X11TestKeyboard keyboard;
        printTaps("XInput2 (XTest)", runTapFlood(source, xTestInjector(keyboard), taps, every30ms));
    }

    std::printf("\nThe real program with a tray, %lld s idle\n", static_cast<long long>(idle.count()));
    std::printf("%-22s %10s %12s %12s\n", "route", "wake-ups", "VmRSS MiB", "RssAnon MiB");
    {
        RunningProgram onX11(program, {{"VANTREL_KEY_SOURCE", "x11"},
                                       {"QT_QPA_PLATFORM", "xcb"},
                                       {"WAYLAND_DISPLAY", ""},
                                       {"XDG_SESSION_TYPE", "x11"}});
        printResident("XInput2, on X", measureIdle(onX11.process->pid(), idle));
    }
    RunningProgram onWayland(program,
                             {{"VANTREL_KEY_SOURCE", "portal"}, {"QT_QPA_PLATFORM", "wayland"}, {"DISPLAY", ""}});
    printResident("portal, on Wayland", measureIdle(onWayland.process->pid(), idle));

    std::vector<double> pressCommand, portalPress;
    test::WaylandKeyboard keyboard;
    for (int i = 0; i < kPresses; ++i) {
        onWayland.desktop.clearRecords();
        const auto started = Clock::now();
        if (test::runToEnd({program, "--press", "F6"}).exitCode != 0)
            throw std::runtime_error("vantrel --press F6 failed");
        pressCommand.push_back(millisecondsSince(started, recordWritten(onWayland.desktop)));

        onWayland.desktop.clearRecords();
        const auto pressed = keyboard.type({"tap", test::WaylandKeyboard::code("F6")}).at(0);
        portalPress.push_back(millisecondsSince(pressed, recordWritten(onWayland.desktop)));
    }
    std::printf("\nThe real program on Wayland: to the bound program running, %d times each\n", kPresses);
    std::printf("%-40s %12s %12s\n", "from", "median ms", "max ms");
    std::printf("%-40s %12.1f %12.1f\n", "\"vantrel --press F6\" started", quantile(pressCommand, 0.5),
                quantile(pressCommand, 1.0));
    std::printf("%-40s %12.1f %12.1f\n", "F6 pressed (portal)", quantile(portalPress, 0.5), quantile(portalPress, 1.0));

    // F6 tapped every 50 ms or so from the kill on: the figures are that
    // much coarse.
    test::BusService portal(test::BusService::kPortal);
    const auto keysBackAfterKill = [&] {
        onWayland.desktop.clearRecords();
        if (!portal.kill())
            throw std::runtime_error("the portal could not be killed");
        const auto killed = Clock::now();
        if (!test::waitUntil(
                [&] {
                    keyboard.tap("F6");
                    return !onWayland.desktop.records().empty();
                },
                std::chrono::seconds(60)))
            throw std::runtime_error("F6 never opened again after the portal was killed");
        const double ms = millisecondsSince(killed, recordWritten(onWayland.desktop));
        // The taps still on their way.
        std::this_thread::sleep_for(std::chrono::seconds(1));
        return ms;
    };
    std::vector<double> quiet, loaded;
    for (int i = 0; i < kRestarts; ++i) {
        quiet.push_back(keysBackAfterKill());
        const test::CpuLoad load;
        loaded.push_back(keysBackAfterKill());
    }
    std::printf("\nThe real program on Wayland: the portal killed, to F6 opening again, %d times each\n", kRestarts);
    std::printf("%-40s %12s %12s\n", "machine", "median ms", "max ms");
    std::printf("%-40s %12.1f %12.1f\n", "quiet", quantile(quiet, 0.5), quantile(quiet, 1.0));
    std::printf("%-40s %12.1f %12.1f\n", "every core busy", quantile(loaded, 0.5), quantile(loaded, 1.0));
    return 0;
}
