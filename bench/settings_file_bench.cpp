// What the settings file costs: reading a binding, saving one and saving all
// seven (what "OK" does), on a file in a temporary folder on the disk that
// holds TMPDIR; then reading the largest file accepted, full of tiny keys.
// Prints a table of medians and 99th percentiles.
#include "bench_stats.h"
#include "bindings/Registry_Module.h"
#include "platform/linux/settings/reg_text_format.h"
#include "platform/linux/settings/registry_file.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

using namespace vantrel;
using namespace vantrel::platform;

namespace {

const std::u16string kQuintor = u"Software\\Morvask\\Quintor";
const std::u16string kSlots[] = {u"F6", u"F7", u"F8", u"F9", u"F10", u"F11", u"F12"};

double millisecondsOf(const std::function<void()> &step)
{
    const auto start = std::chrono::steady_clock::now();
    step();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

void row(const char *what, int runs, const std::function<void()> &step)
{
    std::vector<double> samples;
    for (int i = 0; i < runs; ++i)
        samples.push_back(millisecondsOf(step));
    std::printf("%-44s %6d %10.3f %10.3f %10.3f\n", what, runs, bench::quantile(samples, 0.5),
                bench::quantile(samples, 0.99), bench::quantile(samples, 1.0));
}

long peakMemoryMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

int main()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "vantrel-settings-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::filesystem::path folder = pattern;
    linux_backend::RegistryFile store((folder / "registry.reg").string());
    for (const auto &slot : kSlots)
        Registry_Module::WriteRegString(store, HKEY_LOCAL_MACHINE, kQuintor, slot, u"/home/user/Documents/" + slot);

    std::printf("%-44s %6s %10s %10s %10s\n", "operation (ms)", "runs", "median", "p99", "max");
    row("ReadRegString, one binding", 2000,
        [&] { Registry_Module::ReadRegString(store, HKEY_LOCAL_MACHINE, kQuintor, u"F8"); });
    int n = 0;
    row("WriteRegString, one binding", 300, [&] {
        Registry_Module::WriteRegString(store, HKEY_LOCAL_MACHINE, kQuintor, u"F8",
                                        u"/tmp/" + std::u16string(++n % 50, u'x'));
    });
    row("save all seven bindings", 50, [&] {
        ++n;
        for (const auto &slot : kSlots)
            Registry_Module::WriteRegString(store, HKEY_LOCAL_MACHINE, kQuintor, slot,
                                            slot + std::u16string(n % 50, u'y'));
    });

    // The worst the size limit lets through: as many keys as fit, each a
    // section of its own, with the bindings at the end.
    std::string huge = "Windows Registry Editor Version 5.00\n";
    for (int i = 0; huge.size() < linux_backend::kMaxRegTextBytes - 4096; ++i)
        huge += "[HKEY_USERS\\" + std::to_string(i) + "]\n";
    huge += "[HKEY_LOCAL_MACHINE\\Software\\Morvask\\Quintor]\n\"F8\"=\"/bin/true\"\n";
    std::ofstream(folder / "registry.reg", std::ios::binary) << huge;
    const long before = peakMemoryMiB();
    row("ReadRegString, 16 MiB file of 1.4 M keys", 5,
        [&] { Registry_Module::ReadRegString(store, HKEY_LOCAL_MACHINE, kQuintor, u"F8"); });
    std::printf("peak memory: %ld MiB before that read, %ld MiB after\n", before, peakMemoryMiB());

    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
