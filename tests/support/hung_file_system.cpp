#include "hung_file_system.h"

#include <sys/mount.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <string>
#include <thread>

namespace vantrel::test {

namespace fs = std::filesystem;

HungFileSystem::HungFileSystem(const fs::path &mountPoint) : mountPoint_(mountPoint)
{
    fs::create_directories(mountPoint);
    daemon_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"/usr/bin/python3", VANTREL_HUNG_FILE_SYSTEM, mountPoint.string()});
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!mounted() && !daemon_->waitForExit(std::chrono::milliseconds(0)) && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

HungFileSystem::~HungFileSystem()
{
    release();
    daemon_.reset();
}

void HungFileSystem::release() const
{
    kill(daemon_->pid(), SIGKILL);
    umount2(mountPoint_.c_str(), MNT_DETACH);
}

bool HungFileSystem::possible() { return getuid() == 0 && fs::exists("/dev/fuse"); }

bool HungFileSystem::mounted() const
{
    std::ifstream table("/proc/self/mountinfo");
    std::string line;
    while (std::getline(table, line))
        if (line.find(" " + mountPoint_.string() + " ") != std::string::npos)
            return true;
    return false;
}

} // namespace vantrel::test
