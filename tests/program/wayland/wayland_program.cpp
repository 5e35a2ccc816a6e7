#include "wayland_program.h"

#include "x_client.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

namespace vantrel::test {

namespace fs = std::filesystem;

void WaylandProgram::bind(const std::vector<std::string> &keys)
{
    bindings_.clear();
    for (const auto &key : keys) {
        const fs::path entry = desktop.root() / (key + ".desktop");
        desktop.writeDesktopEntry(entry, key);
        bindings_.emplace_back(key, entry);
    }
    const fs::path readiness = desktop.root() / "F12.desktop";
    desktop.writeDesktopEntry(readiness, "F12");
    bindings_.emplace_back("F12", readiness);
    writeBindingsFile(desktop.configHome(), bindings_);
}

std::unique_ptr<ChildProcess> WaylandProgram::start(const std::map<std::string, std::string> &environment)
{
    return std::make_unique<ChildProcess>(std::vector<std::string>{VANTREL_EXECUTABLE}, environment,
                                          errorsFile().string());
}

int WaylandProgram::waitUntilWatching()
{
    const std::size_t before = opensOf("F12");
    int taps = 0;
    const bool watching = waitUntil(
        [&] {
            keyboard.tap("F12");
            ++taps;
            return opensOf("F12") > before;
        },
        std::chrono::seconds(60));
    if (!watching)
        throw std::runtime_error("F12 never opened anything; the program said: " + errors());
    // The opens of taps still on their way land before the next look counts
    // from here: late, they would pass for keys that work again.
    std::size_t seen = opensOf("F12");
    for (int looks = 0; looks < 20; ++looks) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        const std::size_t now = opensOf("F12");
        if (now == seen)
            break;
        seen = now;
    }
    return taps;
}

std::size_t WaylandProgram::opensOf(const std::string &key) const
{
    const auto records = desktop.records();
    return static_cast<std::size_t>(std::count_if(records.begin(), records.end(), [&](const LaunchRecord &record) {
        return record.args.size() == 2 && record.args[1] == key;
    }));
}

std::string WaylandProgram::errors() const
{
    std::ifstream in(errorsFile());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> WaylandProgram::windowsOf(const ChildProcess &program) const
{
    std::vector<std::string> titles;
    for (const auto &shown : shownWindows())
        if (shown.pid == program.pid())
            titles.push_back(shown.title);
    return titles;
}

} // namespace vantrel::test
