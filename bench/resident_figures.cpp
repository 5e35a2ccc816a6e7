#include "resident_figures.h"

#include "launch_probe_desktop.h"
#include "x11_test_keyboard.h"

#include <X11/keysym.h>

#include <csignal>
#include <dirent.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <stdexcept>
#include <thread>

extern char **environ;

namespace vantrel::bench {

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

// A program run for the measurement, ended with it.
class Spawned {
public:
    explicit Spawned(std::vector<std::string> argv)
    {
        std::vector<char *> args;
        for (auto &arg : argv)
            args.push_back(arg.data());
        args.push_back(nullptr);
        if (posix_spawn(&pid_, args[0], nullptr, nullptr, args.data(), environ) != 0)
            throw std::runtime_error("cannot start " + argv[0]);
    }
    ~Spawned()
    {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
    Spawned(const Spawned &) = delete;
    Spawned &operator=(const Spawned &) = delete;
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
};

template <class Condition>
bool waitUntil(Condition condition, std::chrono::milliseconds limit)
{
    const auto deadline = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

long statusField(const fs::path &status, const std::string &field)
{
    std::ifstream in(status);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field + ":", 0) == 0)
            return std::stol(line.substr(field.size() + 1));
    return 0;
}

// Voluntary context switches of each thread, by thread id.
std::map<std::string, std::pair<std::string, long>> switchesByThread(pid_t pid)
{
    std::map<std::string, std::pair<std::string, long>> threads;
    const fs::path tasks = "/proc/" + std::to_string(pid) + "/task";
    for (const auto &task : fs::directory_iterator(tasks)) {
        std::string name;
        std::getline(std::ifstream(task.path() / "comm"), name);
        threads[task.path().filename()] = {name, statusField(task.path() / "status", "voluntary_ctxt_switches")};
    }
    return threads;
}

std::size_t readinessRecords(const test::ProbeDesktop &desktop)
{
    const auto records = desktop.records();
    return static_cast<std::size_t>(std::count_if(records.begin(), records.end(), [](const auto &record) {
        return record.args.size() == 2 && record.args[1] == "ready";
    }));
}

// From start to the first F12 tap that opens its entry. F12 is tapped every
// 2 ms until an opening shows up; once watching, every tap opens, so the
// count of openings tells which tap was the first one seen.
double timeStartup(const std::string &program, const test::ProbeDesktop &desktop, test::X11TestKeyboard &keyboard,
                   std::unique_ptr<Spawned> &running)
{
    desktop.clearRecords();
    const unsigned f12 = keyboard.keycodeOf(XK_F12);
    const auto started = Clock::now();
    running = std::make_unique<Spawned>(std::vector<std::string>{program});
    std::vector<Clock::time_point> taps;
    while (readinessRecords(desktop) == 0) {
        if (Clock::now() - started > std::chrono::seconds(20))
            throw std::runtime_error("the program never watched F12");
        taps.push_back(Clock::now());
        keyboard.tapKeycode(f12);
        XFlush(keyboard.display());
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const std::size_t seen = readinessRecords(desktop);
    if (seen > taps.size())
        throw std::runtime_error("more openings than taps");
    return std::chrono::duration<double, std::milli>(taps[taps.size() - seen] - started).count();
}

} // namespace

ResidentFigures measureResident(const std::string &program, int starts, std::chrono::seconds idle)
{
    test::ProbeDesktop desktop;
    const fs::path readiness = desktop.root() / "readiness.desktop";
    desktop.writeDesktopEntry(readiness, "ready");
    fs::create_directories(desktop.configHome() / "vantrel");
    std::ofstream(desktop.configHome() / "vantrel" / "registry.reg")
        << "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Morvask\\Quintor]\n\"F12\"=\""
        << readiness.string() << "\"\n";

    test::X11TestKeyboard keyboard;
    // A panel with a tray, as on a desktop: the program then stays hidden.
    Spawned tray({TRAYER_EXECUTABLE, "--edge", "bottom", "--widthtype", "request", "--height", "24"});
    const Atom traySelection = XInternAtom(keyboard.display(), "_NET_SYSTEM_TRAY_S0", False);
    if (!waitUntil([&] { return XGetSelectionOwner(keyboard.display(), traySelection) != 0; },
                   std::chrono::seconds(10)))
        throw std::runtime_error("trayer did not take the tray");

    ResidentFigures figures;
    std::unique_ptr<Spawned> running;
    for (int i = 0; i < starts; ++i) {
        running.reset();
        figures.startupMs.push_back(timeStartup(program, desktop, keyboard, running));
    }

    // Past the program's own start-up timers, then left alone.
    std::this_thread::sleep_for(std::chrono::seconds(4));
    auto idleFigures = measureIdle(running->pid(), idle);
    idleFigures.startupMs = std::move(figures.startupMs);
    return idleFigures;
}

ResidentFigures measureIdle(pid_t pid, std::chrono::seconds idle)
{
    ResidentFigures figures;
    const auto before = switchesByThread(pid);
    std::this_thread::sleep_for(idle);
    const auto after = switchesByThread(pid);
    for (const auto &[tid, thread] : after) {
        const auto earlier = before.find(tid);
        const long woke = thread.second - (earlier == before.end() ? 0 : earlier->second.second);
        figures.idleWakeupsByThread.emplace_back(thread.first, woke);
        figures.idleWakeups += woke;
    }
    const fs::path status = "/proc/" + std::to_string(pid) + "/status";
    figures.residentKiB = statusField(status, "VmRSS");
    figures.residentAnonymousKiB = statusField(status, "RssAnon");
    return figures;
}

} // namespace vantrel::bench
