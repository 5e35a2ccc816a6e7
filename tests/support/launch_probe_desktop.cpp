#include "launch_probe_desktop.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace vantrel::test {

namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path &path, const std::string &text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out.flush())
        throw std::runtime_error("cannot write " + path.string());
}

std::string readFile(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

LaunchRecord parseRecord(const std::string &text)
{
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\0', start)) != std::string::npos; start = end + 1)
        fields.push_back(text.substr(start, end - start));
    if (fields.size() < 4)
        throw std::runtime_error("a launch record is incomplete");
    LaunchRecord record;
    record.pid = std::stol(fields[0]);
    record.sid = std::stol(fields[1]);
    record.descriptors = fields[2];
    record.args.assign(fields.begin() + 3, fields.end());
    return record;
}

} // namespace

fs::path launchProbe() { return VANTREL_LAUNCH_PROBE; }

ProbeDesktop::ProbeDesktop()
{
    std::string pattern = (fs::temp_directory_path() / "vantrel-desktop-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    root_ = pattern;
    fs::create_directories(recordsFolder());
    fs::create_directories(configHome());
    fs::create_directories(dataHome() / "applications");

    writeDesktopEntry(dataHome() / "applications" / "vantrel-probe-files.desktop", "handler %f");
    writeDesktopEntry(dataHome() / "applications" / "vantrel-probe-addresses.desktop", "address %u");
    writeFile(configHome() / "mimeapps.list", "[Default Applications]\n"
                                              "text/plain=vantrel-probe-files.desktop\n"
                                              "inode/directory=vantrel-probe-files.desktop\n"
                                              "application/octet-stream=vantrel-probe-files.desktop\n"
                                              "application/x-zerosize=vantrel-probe-files.desktop\n"
                                              "x-scheme-handler/mailto=vantrel-probe-addresses.desktop\n");

    setenv("XDG_DATA_HOME", dataHome().c_str(), 1);
    setenv("XDG_CONFIG_HOME", configHome().c_str(), 1);
    setenv("VANTREL_PROBE_DIR", recordsFolder().c_str(), 1);
}

ProbeDesktop::~ProbeDesktop()
{
    std::error_code ignored;
    // Folders a test made unreadable must be opened up again to be removed.
    for (auto it = fs::recursive_directory_iterator(root_, ignored); it != fs::recursive_directory_iterator();
         it.increment(ignored))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(root_, ignored);
}

void ProbeDesktop::writeDesktopEntry(const fs::path &path, const std::string &args) const
{
    writeFile(path, "[Desktop Entry]\n"
                    "Type=Application\n"
                    "Name=Vantrel launch probe\n"
                    "Exec=\"" +
                        launchProbe().string() + "\" " + args +
                        "\n"
                        "MimeType=text/plain;inode/directory;application/octet-stream;application/x-zerosize;"
                        "x-scheme-handler/mailto;\n");
}

std::vector<LaunchRecord> ProbeDesktop::records() const
{
    std::vector<LaunchRecord> found;
    for (const auto &entry : fs::directory_iterator(recordsFolder()))
        if (entry.path().extension() == ".record")
            found.push_back(parseRecord(readFile(entry.path())));
    std::sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.pid < b.pid; });
    return found;
}

std::vector<LaunchRecord> ProbeDesktop::waitForRecords(std::size_t count, std::chrono::milliseconds limit) const
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    auto found = records();
    while (found.size() < count && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        found = records();
    }
    return found;
}

void ProbeDesktop::clearRecords() const
{
    for (const auto &entry : fs::directory_iterator(recordsFolder()))
        fs::remove(entry.path());
}

bool hasZombieChild(long parent)
{
    std::error_code ignored;
    for (const auto &entry : fs::directory_iterator("/proc", ignored)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const std::string stat = readFile(entry.path() / "stat");
        // "pid (name) state ppid ...": the name may hold anything, even ')'.
        const auto nameEnd = stat.rfind(')');
        if (nameEnd == std::string::npos)
            continue;
        std::istringstream rest(stat.substr(nameEnd + 1));
        char state = 0;
        long parentOf = 0;
        if (rest >> state >> parentOf && parentOf == parent && state == 'Z')
            return true;
    }
    return false;
}

} // namespace vantrel::test
