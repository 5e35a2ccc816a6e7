// Memory of the website window: what the resident program carries before it
// opens the window and after it has closed it again, and what the helper with
// its web engine takes while it shows the home page. Prints a table; run with
// QT_QPA_PLATFORM=offscreen where there is no display.
//
//   website_memory [ROUNDS]

#include "app/qt/website_launcher.h"
#include "process_tree.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

// A field of /proc/PID/status or /proc/PID/smaps_rollup, in KiB.
long procField(pid_t pid, const char *file, const std::string &field)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/" + file);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind(field + ":", 0) == 0)
            return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
    return 0;
}

std::set<pid_t> familyOf(pid_t root)
{
    std::set<pid_t> family = vantrel::test::descendantsOf(root);
    family.insert(root);
    return family;
}

struct FamilyMemory {
    std::size_t processes = 0;
    long rssKiB = 0; // shared pages counted once per process
    long pssKiB = 0; // shared pages split between their users
};

FamilyMemory measureFamily(pid_t root)
{
    FamilyMemory memory;
    for (const pid_t pid : familyOf(root)) {
        ++memory.processes;
        memory.rssKiB += procField(pid, "status", "VmRSS");
        memory.pssKiB += procField(pid, "smaps_rollup", "Pss");
    }
    return memory;
}

long ownRssKiB() { return procField(getpid(), "status", "VmRSS"); }

struct Column {
    std::string name;
    std::vector<double> mib;
};

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const double position = p * static_cast<double>(values.size() - 1);
    const auto below = static_cast<std::size_t>(position);
    const auto above = std::min(below + 1, values.size() - 1);
    return values[below] + (values[above] - values[below]) * (position - static_cast<double>(below));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;

    // Let the helper's page settle before it is measured.
    constexpr int settleMs = 3000;

    Column before{"resident before open", {}};
    Column showing{"helper, all processes (RSS sum)", {}};
    Column showingPss{"helper, all processes (PSS sum)", {}};
    Column after{"resident after close", {}};
    std::size_t processes = 0;

    vantrel::WebsiteLauncher launcher(QStringLiteral(VANTREL_WEBSITE_HELPER));
    for (int round = 0; round < rounds; ++round) {
        before.mib.push_back(ownRssKiB() / 1024.0);
        launcher.show();
        QDeadlineTimer started(30000);
        while (familyOf(static_cast<pid_t>(launcher.helperProcessId())).size() < 3 && !started.hasExpired())
            QTest::qWait(50);
        QTest::qWait(settleMs);
        const FamilyMemory memory = measureFamily(static_cast<pid_t>(launcher.helperProcessId()));
        processes = memory.processes;
        showing.mib.push_back(memory.rssKiB / 1024.0);
        showingPss.mib.push_back(memory.pssKiB / 1024.0);
        launcher.close();
        QTest::qWait(200);
        after.mib.push_back(ownRssKiB() / 1024.0);
    }

    std::printf("website window memory, %d rounds, helper of %zu processes (MiB)\n", rounds, processes);
    std::printf("%-34s %8s %8s %8s %8s\n", "measure", "median", "p10", "p90", "max");
    for (const Column *column : {&before, &showing, &showingPss, &after})
        std::printf("%-34s %8.1f %8.1f %8.1f %8.1f\n", column->name.c_str(), percentile(column->mib, 0.5),
                    percentile(column->mib, 0.1), percentile(column->mib, 0.9), percentile(column->mib, 1.0));
    return 0;
}
