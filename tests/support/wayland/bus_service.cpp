#include "bus_service.h"

#include "wayland_desktop.h"
#include "x_client.h"

#include <signal.h>

#include <regex>

namespace vantrel::test {

namespace {

std::optional<std::string> askBus(const std::string &method, const std::vector<std::string> &arguments)
{
    std::vector<std::string> words{"--dest",        "org.freedesktop.DBus",
                                   "--object-path", "/org/freedesktop/DBus",
                                   "--method",      "org.freedesktop.DBus." + method};
    words.insert(words.end(), arguments.begin(), arguments.end());
    return callOnSessionBus(words);
}

} // namespace

BusService::~BusService() { resume(); }

bool BusService::running() const
{
    const auto reply = askBus("NameHasOwner", {name_});
    return reply && reply->find("true") != std::string::npos;
}

std::optional<long> BusService::pid() const
{
    // "(uint32 1234,)"
    const auto reply = askBus("GetConnectionUnixProcessID", {name_});
    std::smatch found;
    if (!reply || !std::regex_search(*reply, found, std::regex("uint32 (\\d+)")))
        return std::nullopt;
    return std::stol(found[1]);
}

bool BusService::start() const
{
    askBus("StartServiceByName", {name_, "0"});
    return running();
}

bool BusService::kill() const
{
    const auto process = pid();
    if (!process || ::kill(static_cast<pid_t>(*process), SIGKILL) != 0)
        return false;
    // The bus may hand the name to a new process before this looks: the
    // program's next call to the portal starts its backend again at once.
    return waitUntil([&] { return pid() != process; }, std::chrono::seconds(10));
}

bool BusService::pause()
{
    const auto process = pid();
    if (!process || ::kill(static_cast<pid_t>(*process), SIGSTOP) != 0)
        return false;
    paused_ = process;
    return true;
}

void BusService::resume()
{
    if (paused_)
        ::kill(static_cast<pid_t>(*paused_), SIGCONT);
    paused_.reset();
}

} // namespace vantrel::test
