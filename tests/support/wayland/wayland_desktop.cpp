#include "wayland_desktop.h"

#include "x_client.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace vantrel::test {

namespace fs = std::filesystem;

namespace {

fs::path makeFolder()
{
    std::string pattern = (fs::temp_directory_path() / "vantrel-wayland-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    return pattern;
}

std::vector<std::string> readLines(const fs::path &path)
{
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

} // namespace

int linuxKeyCode(const std::string &key)
{
    static const std::map<std::string, int> codes{{"F6", 64},  {"F7", 65},  {"F8", 66}, {"F9", 67},
                                                  {"F10", 68}, {"F11", 87}, {"F12", 88}};
    return codes.at(key);
}

std::vector<std::string> playUser(const std::vector<std::string> &commands)
{
    std::vector<std::string> argv{VANTREL_WAYLAND_USER};
    argv.insert(argv.end(), commands.begin(), commands.end());
    const auto finished = runToEnd(argv, {}, std::chrono::minutes(5));
    if (finished.exitCode != 0)
        throw std::runtime_error("wayland_user failed: " + finished.errorOutput);
    std::vector<std::string> lines;
    std::istringstream output(finished.output);
    for (std::string line; std::getline(output, line);)
        lines.push_back(line);
    return lines;
}

void WaylandKeyboard::hold(const std::string &key, std::chrono::milliseconds time)
{
    type({"press", code(key), "sleep", std::to_string(time.count()), "release", code(key)});
}

std::vector<std::chrono::steady_clock::time_point> WaylandKeyboard::type(const std::vector<std::string> &commands)
{
    std::vector<std::chrono::steady_clock::time_point> sent;
    for (const auto &line : playUser(commands)) {
        std::istringstream words(line);
        std::string verb;
        long long nanoseconds = 0;
        if (words >> verb >> nanoseconds)
            sent.emplace_back(std::chrono::nanoseconds(nanoseconds));
    }
    return sent;
}

std::vector<ShownWindow> shownWindows()
{
    std::vector<ShownWindow> windows;
    for (const auto &line : playUser({"windows"})) {
        std::istringstream words(line);
        std::string word;
        ShownWindow window;
        int active = 0;
        if (words >> word >> window.pid >> active) {
            window.active = active != 0;
            words.get();
            std::getline(words, window.title);
            windows.push_back(window);
        }
    }
    return windows;
}

ReportingProgram::ReportingProgram(const std::string &program) : folder_(makeFolder())
{
    process_ = std::make_unique<ChildProcess>(std::vector<std::string>{program}, std::map<std::string, std::string>{},
                                              std::string{}, (folder_ / "report").string());
}

ReportingProgram::~ReportingProgram()
{
    process_.reset();
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

std::vector<std::string> ReportingProgram::lines() const { return readLines(folder_ / "report"); }

RecordingWindow::RecordingWindow() : program_(VANTREL_KEY_RECORDING_WINDOW)
{
    if (!waitUntil([&] { return hasFocus(); }, std::chrono::seconds(30)))
        throw std::runtime_error("the recording window never got the keyboard focus");
}

int RecordingWindow::pressesOf(const std::string &key) const
{
    const auto lines = program_.lines();
    return static_cast<int>(std::count(lines.begin(), lines.end(), "press " + key));
}

bool RecordingWindow::hasFocus() const
{
    const auto lines = program_.lines();
    const auto last = std::find_if(lines.rbegin(), lines.rend(),
                                   [](const std::string &line) { return line == "focus" || line == "blur"; });
    return last != lines.rend() && *last == "focus";
}

Tray::Tray() : program_(VANTREL_STATUS_NOTIFIER_WATCHER)
{
    if (!waitUntil([&] { return !program_.lines().empty(); }, std::chrono::seconds(30)) ||
        program_.lines().front() != "watching")
        throw std::runtime_error("the tray did not start");
}

std::vector<std::string> Tray::items() const
{
    std::vector<std::string> found;
    for (const auto &line : program_.lines())
        if (line.rfind("item ", 0) == 0)
            found.push_back(line.substr(5));
    return found;
}

bool Tray::activate(const std::string &item)
{
    return callOnSessionBus({"--dest", item, "--object-path", "/StatusNotifierItem", "--method",
                             "org.kde.StatusNotifierItem.Activate", "0", "0"})
        .has_value();
}

bool Tray::clickMenuEntry(const std::string &item, const std::string &label)
{
    // The item names its menu, whose layout gdbus prints as
    // "(uint32 1, (0, {...}, [<(1, {'label': <'_Configure'>, ...}, @av [])>, ...]))".
    const auto menu = callOnSessionBus({"--dest", item, "--object-path", "/StatusNotifierItem", "--method",
                                        "org.freedesktop.DBus.Properties.Get", "org.kde.StatusNotifierItem", "Menu"});
    std::smatch found;
    if (!menu || !std::regex_search(*menu, found, std::regex("objectpath '([^']+)'")))
        return false;
    const std::string path = found[1];
    const auto layout = callOnSessionBus({"--dest", item, "--object-path", path, "--method",
                                          // A bare -1 would be taken for an option.
                                          "com.canonical.dbusmenu.GetLayout", "0", "int32 -1", "@as []"});
    if (!layout || !std::regex_search(*layout, found, std::regex("\\((\\d+), \\{[^}]*'label': <'" + label + "'>")))
        return false;
    return callOnSessionBus({"--dest", item, "--object-path", path, "--method", "com.canonical.dbusmenu.Event",
                             found[1], "clicked", "<0>", "0"})
        .has_value();
}

std::optional<std::string> callOnSessionBus(const std::vector<std::string> &words)
{
    std::vector<std::string> argv{"gdbus", "call", "--session"};
    argv.insert(argv.end(), words.begin(), words.end());
    auto finished = runToEnd(argv);
    if (finished.exitCode != 0)
        return std::nullopt;
    return std::move(finished.output);
}

} // namespace vantrel::test
