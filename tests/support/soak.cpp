#include "soak.h"

#include "bindings_file.h"
#include "child_process.h"
#include "launch_probe_desktop.h"
#include "process_tree.h"
#include "x11_test_keyboard.h"
#include "x_client.h"

#include <X11/keysym.h>
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <thread>

namespace vantrel::test {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

// Open requests under way at most; enough to keep the opener busy.
constexpr int kWindow = 32;
constexpr int kWarmUpPresses = 700;

enum class Target { Program, DesktopEntry, Document };

struct SoakKey {
    const char *name;
    KeySym keysym;
    Target target;
};

constexpr std::array<SoakKey, 7> kKeys{{
    {"F6", XK_F6, Target::Program},
    {"F7", XK_F7, Target::DesktopEntry},
    {"F8", XK_F8, Target::Document},
    {"F9", XK_F9, Target::Program},
    {"F10", XK_F10, Target::DesktopEntry},
    {"F11", XK_F11, Target::Document},
    {"F12", XK_F12, Target::Program},
}};

// The line a key's recorder writes: the name of the file it was given, or its own.
std::string recordedLine(const SoakKey &key)
{
    return key.target == Target::Document ? std::string(key.name) + ".txt" : key.name;
}

void writeFile(const fs::path &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out.flush())
        throw std::runtime_error("cannot write " + path.string());
}

std::string desktopEntry(const std::string &args)
{
    return "[Desktop Entry]\nType=Application\nName=Vantrel soak recorder\nExec=\"" VANTREL_SOAK_RECORDER "\" " + args +
           "\nMimeType=text/plain;\n";
}

// A desktop of the soak's own in a temporary folder: its settings file, its
// handler for text documents, the bound targets and the recorders' log.
class SoakDesktop {
public:
    SoakDesktop()
    {
        std::string pattern = (fs::temp_directory_path() / "vantrel-soak-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a temporary folder");
        root_ = pattern;
        fs::create_directories(dataHome() / "applications");
        fs::create_directories(configHome());
        writeFile(dataHome() / "applications" / "vantrel-soak-handler.desktop", desktopEntry("%f"));
        writeFile(configHome() / "mimeapps.list", "[Default Applications]\ntext/plain=vantrel-soak-handler.desktop\n");
        writeFile(log(), "");

        std::vector<std::pair<std::string, fs::path>> bindings;
        for (const auto &key : kKeys) {
            fs::path target;
            switch (key.target) {
            case Target::Program:
                target = root_ / key.name;
                fs::copy_file(VANTREL_SOAK_RECORDER, target);
                break;
            case Target::DesktopEntry:
                target = root_ / (std::string(key.name) + ".desktop");
                writeFile(target, desktopEntry(key.name));
                break;
            case Target::Document:
                target = root_ / recordedLine(key);
                writeFile(target, "a document to open\n");
                break;
            }
            bindings.emplace_back(key.name, target);
        }
        writeBindingsFile(configHome(), bindings);
    }
    ~SoakDesktop()
    {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    SoakDesktop(const SoakDesktop &) = delete;
    SoakDesktop &operator=(const SoakDesktop &) = delete;

    fs::path configHome() const { return root_ / "config"; }
    fs::path dataHome() const { return root_ / "data"; }
    fs::path log() const { return root_ / "opened.log"; }

    std::map<std::string, std::string> environment() const
    {
        return {{"XDG_CONFIG_HOME", configHome()}, {"XDG_DATA_HOME", dataHome()}, {"VANTREL_SOAK_LOG", log()}};
    }

private:
    fs::path root_;
};

// The recorders' log, read as it grows.
class LogTally {
public:
    explicit LogTally(const fs::path &path) : fd_(open(path.c_str(), O_RDONLY | O_CLOEXEC))
    {
        if (fd_ < 0)
            throw std::runtime_error("cannot read " + path.string());
    }
    ~LogTally() { close(fd_); }
    LogTally(const LogTally &) = delete;
    LogTally &operator=(const LogTally &) = delete;

    // Lines written so far.
    int lines()
    {
        char buffer[65536];
        ssize_t got;
        while ((got = read(fd_, buffer, sizeof buffer)) > 0) {
            for (ssize_t i = 0; i < got; ++i) {
                if (buffer[i] != '\n') {
                    partial_ += buffer[i];
                    continue;
                }
                ++byLine_[partial_];
                ++lines_;
                partial_.clear();
            }
        }
        return lines_;
    }

    const std::map<std::string, int> &byLine() const { return byLine_; }

private:
    int fd_;
    int lines_ = 0;
    std::string partial_;
    std::map<std::string, int> byLine_;
};

long statusField(pid_t pid, const std::string &field)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field + ":", 0) == 0)
            return std::stol(line.substr(field.size() + 1));
    return 0;
}

// Waits until the log has stopped growing and every program started for it
// has ended; false if that does not happen within the time.
bool settle(LogTally &tally, pid_t program, std::chrono::seconds limit)
{
    const auto deadline = Clock::now() + limit;
    int seen = tally.lines();
    auto quietSince = Clock::now();
    while (Clock::now() < deadline) {
        std::this_thread::sleep_for(50ms);
        const int now = tally.lines();
        if (now != seen || !descendantsOf(program).empty()) {
            seen = now;
            quietSince = Clock::now();
        } else if (Clock::now() - quietSince >= 1s) {
            return true;
        }
    }
    return false;
}

// Presses keys, each press once the number of open requests under way
// allows, and counts the lines written since it began.
class Presser {
public:
    Presser(X11TestKeyboard &keyboard, LogTally &tally, pid_t program)
        : keyboard_(keyboard), tally_(tally), program_(program), counted_(tally.lines())
    {
        for (std::size_t i = 0; i < kKeys.size(); ++i)
            keycodes_[i] = keyboard.keycodeOf(kKeys[i].keysym);
    }

    void press(std::size_t key)
    {
        auto stalledSince = Clock::now();
        int done = opened();
        while (sent_ - done >= kWindow) {
            std::this_thread::sleep_for(200us);
            const int now = opened();
            if (now != done) {
                done = now;
                stalledSince = Clock::now();
            } else if (Clock::now() - stalledSince > 10s || !isAlive(program_)) {
                throw std::runtime_error("open requests stopped coming after " + std::to_string(done) + " presses");
            }
        }
        keyboard_.tapKeycode(keycodes_[key]);
        XFlush(keyboard_.display());
        ++sent_;
    }

    // Waits until every press has opened something or nothing more comes.
    void awaitOpens()
    {
        int done = opened();
        auto stalledSince = Clock::now();
        while (done < sent_ && Clock::now() - stalledSince < 10s) {
            std::this_thread::sleep_for(1ms);
            if (const int now = opened(); now != done) {
                done = now;
                stalledSince = Clock::now();
            }
        }
    }

    int opened() { return tally_.lines() - counted_; }

private:
    X11TestKeyboard &keyboard_;
    LogTally &tally_;
    pid_t program_;
    int counted_;
    int sent_ = 0;
    std::array<unsigned, kKeys.size()> keycodes_{};
};

// Right click on the tray icon, then "E&xit", as a user leaves the program.
std::optional<int> exitThroughTrayMenu(XClient &x, ChildProcess &program)
{
    if (!x.chooseInTrayMenu(program.pid(), "x"))
        return std::nullopt;
    return program.waitForExit(20s);
}

} // namespace

ProcessFigures figuresOf(pid_t pid)
{
    ProcessFigures figures;
    figures.residentKiB = statusField(pid, "VmRSS");
    figures.anonymousKiB = statusField(pid, "RssAnon");
    figures.threads = static_cast<int>(statusField(pid, "Threads"));
    std::error_code ignored;
    for (auto it = fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", ignored);
         it != fs::directory_iterator(); it.increment(ignored))
        ++figures.descriptors;
    figures.descendants = static_cast<int>(descendantsOf(pid).size());
    figures.zombieChild = hasZombieChild(pid);
    return figures;
}

SoakResult runSoak(const std::string &program, const std::string &trayer, int presses, int samples)
{
    SoakDesktop desktop;
    LogTally tally(desktop.log());
    X11TestKeyboard keyboard;

    // A desktop's panel: with a tray there the program stays out of sight.
    XClient x;
    ChildProcess tray({trayer, "--edge", "bottom", "--widthtype", "request", "--height", "24"});
    if (!waitUntil([&] { return x.trayManager() != 0; }))
        throw std::runtime_error("trayer did not take the tray");
    ChildProcess vantrel({program}, desktop.environment());

    // The program says nothing when it starts watching: F12 is pressed until
    // its recorder runs.
    const unsigned f12 = keyboard.keycodeOf(XK_F12);
    if (!waitUntil(
            [&] {
                keyboard.tapKeycode(f12);
                keyboard.sync();
                return tally.lines() > 0;
            },
            30s))
        throw std::runtime_error("F12 never opened anything");
    // The first openings fill the caches of the desktop's database.
    Presser warmUp(keyboard, tally, vantrel.pid());
    for (int i = 0; i < kWarmUpPresses; ++i)
        warmUp.press(static_cast<std::size_t>(i) % kKeys.size());
    warmUp.awaitOpens();
    if (!settle(tally, vantrel.pid(), 30s))
        throw std::runtime_error("the program did not settle after the warm-up");

    SoakResult result;
    result.presses = presses;
    result.before = figuresOf(vantrel.pid());
    const auto linesBefore = tally.byLine();

    Presser presser(keyboard, tally, vantrel.pid());
    const auto start = Clock::now();
    int nextSample = 1;
    for (int i = 0; i < presses; ++i) {
        const std::size_t key = static_cast<std::size_t>(i) % kKeys.size();
        presser.press(key);
        ++result.pressesByKey[kKeys[key].name];
        if (samples > 0 && i + 1 == static_cast<int>(static_cast<long long>(presses) * nextSample / samples)) {
            result.samples.push_back({i + 1, Clock::now() - start, figuresOf(vantrel.pid())});
            ++nextSample;
        }
    }
    presser.awaitOpens();
    result.elapsed = Clock::now() - start;
    // Time for a stray second opening to show up, and for the last programs to end.
    settle(tally, vantrel.pid(), 30s);
    result.after = figuresOf(vantrel.pid());
    result.stillRunning = isAlive(vantrel.pid());
    if (result.stillRunning)
        result.exitStatus = exitThroughTrayMenu(x, vantrel);

    result.opens = presser.opened();
    std::map<std::string, int> soakLines = tally.byLine();
    for (const auto &[line, count] : linesBefore)
        soakLines[line] -= count;
    for (const auto &key : kKeys) {
        result.opensByKey[key.name] = soakLines[recordedLine(key)];
        soakLines.erase(recordedLine(key));
    }
    for (const auto &[line, count] : soakLines)
        result.strayOpens += count;
    return result;
}

std::vector<std::string> soakFaults(const SoakResult &result, long residentMarginKiB)
{
    constexpr int kDescriptorMargin = 4;
    std::vector<std::string> faults;
    const auto check = [&](bool good, const std::string &fault) {
        if (!good)
            faults.push_back(fault);
    };
    const auto number = [](long value) { return std::to_string(value); };
    const ProcessFigures &before = result.before;
    const ProcessFigures &after = result.after;
    check(result.stillRunning, "the program ended");
    check(result.opens == result.presses,
          number(result.opens) + " open requests for " + number(result.presses) + " presses");
    check(result.strayOpens == 0, number(result.strayOpens) + " open requests of something not bound");
    for (const auto &[key, pressed] : result.pressesByKey) {
        const auto opened = result.opensByKey.find(key);
        const int opens = opened == result.opensByKey.end() ? 0 : opened->second;
        check(opens == pressed, key + " opened " + number(opens) + " times for " + number(pressed) + " presses");
    }
    check(after.residentKiB - before.residentKiB <= residentMarginKiB,
          "resident memory grew from " + number(before.residentKiB) + " to " + number(after.residentKiB) + " KiB");
    check(after.anonymousKiB - before.anonymousKiB <= residentMarginKiB,
          "private memory grew from " + number(before.anonymousKiB) + " to " + number(after.anonymousKiB) + " KiB");
    check(after.descriptors <= before.descriptors + kDescriptorMargin,
          "open descriptors went from " + number(before.descriptors) + " to " + number(after.descriptors));
    check(after.descendants == before.descendants,
          "processes below the program went from " + number(before.descendants) + " to " + number(after.descendants));
    check(!after.zombieChild, "a child of the program was left a zombie");
    if (result.stillRunning)
        check(result.exitStatus == 0, result.exitStatus
                                          ? "Exit ended the program with status " + number(*result.exitStatus)
                                          : "Exit did not end the program");
    return faults;
}

} // namespace vantrel::test
