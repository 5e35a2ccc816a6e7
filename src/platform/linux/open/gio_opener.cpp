#include "platform/linux/open/gio_opener.h"

#include "platform/diagnostic.h"
#include "platform/linux/open/gio_launch.h"
#include "platform/linux/open/launch_plan.h"
#include "platform/linux/open/native_path.h"

namespace vantrel::platform::linux_backend {

namespace {

// A binding may be megabytes long; a log line shows its start.
constexpr std::size_t kShownLength = 300;

std::string shortened(std::string text)
{
    if (text.size() <= kShownLength)
        return text;
    const std::size_t whole = text.size();
    std::size_t cut = kShownLength;
    // Not inside a UTF-8 sequence.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    text.resize(cut);
    return text + "... (" + std::to_string(whole) + " bytes in all)";
}

// shownTarget: the target as it may appear on one line.
void reportFailure(const std::string &shownTarget, const std::string &reason)
{
    printDiagnostic("vantrel: could not open " + shortened(shownTarget) + ": " + shortened(printableName(reason)));
}

void launch(const std::string &target)
{
    const LaunchPlan plan = planLaunch(target);
    std::string failure;
    switch (plan.kind) {
    case LaunchPlan::Kind::Unopenable:
        failure = plan.reason;
        break;
    case LaunchPlan::Kind::Address:
        failure = openWithDefaultHandler(plan.location);
        break;
    case LaunchPlan::Kind::DesktopEntry:
        failure = openDesktopEntry(plan.location);
        break;
    case LaunchPlan::Kind::Program:
        failure = runProgram(plan.location);
        break;
    case LaunchPlan::Kind::DefaultHandler:
        failure = openFileWithDefaultHandler(plan.location);
        break;
    }
    if (!failure.empty())
        reportFailure(printableName(target), failure);
}

} // namespace

std::string GioOpener::open(const std::u16string &target)
{
    if (target.empty())
        return "there is no file to open";
    const auto bytes = toNativePath(target);
    if (!bytes) {
        const std::string refusal = "not a valid file name";
        reportFailure(printableText(target), refusal);
        return refusal;
    }
    if (!threads_.post(*bytes, [target = *bytes] { launch(target); })) {
        const std::string refusal = "earlier opens of it have not finished";
        reportFailure(printableName(*bytes), refusal);
        return refusal;
    }
    return {};
}

} // namespace vantrel::platform::linux_backend
