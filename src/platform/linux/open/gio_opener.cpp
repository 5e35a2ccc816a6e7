#include "platform/linux/open/gio_opener.h"

#include "platform/linux/open/gio_launch.h"
#include "platform/linux/open/launch_plan.h"
#include "platform/linux/open/native_path.h"

#include <cstdio>

namespace vantrel::platform::linux_backend {

namespace {

// shownTarget: the target as it may appear on one line.
void reportFailure(const std::string &shownTarget, const std::string &reason)
{
    std::fprintf(stderr, "vantrel: could not open %s: %s\n", shownTarget.c_str(), printableName(reason).c_str());
}

} // namespace

void GioOpener::open(const std::u16string &target)
{
    if (target.empty())
        return;
    const auto bytes = toNativePath(target);
    if (!bytes) {
        reportFailure(printableText(target), "not a valid file name");
        return;
    }
    thread_.post([this, target = *bytes] { launch(target); });
}

void GioOpener::launch(const std::string &target)
{
    const LaunchPlan plan = planLaunch(target);
    if (plan.kind == LaunchPlan::Kind::Unopenable) {
        reportFailure(printableName(target), plan.reason);
        return;
    }
    auto done = [this, target](const std::string &failure) {
        if (!failure.empty())
            reportFailure(printableName(target), failure);
        thread_.endPending();
    };
    thread_.beginPending();
    switch (plan.kind) {
    case LaunchPlan::Kind::Address:
        openWithDefaultHandler(plan.location, std::move(done));
        break;
    case LaunchPlan::Kind::DesktopEntry:
        launchDesktopEntry(plan.location, std::move(done));
        break;
    case LaunchPlan::Kind::Program:
        runProgram(plan.location, std::move(done));
        break;
    case LaunchPlan::Kind::DefaultHandler:
        openFileWithDefaultHandler(plan.location, std::move(done));
        break;
    case LaunchPlan::Kind::Unopenable:
        break;
    }
}

} // namespace vantrel::platform::linux_backend
