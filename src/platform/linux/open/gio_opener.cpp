#include "platform/linux/open/gio_opener.h"

#include "platform/linux/open/gio_launch.h"
#include "platform/linux/open/launch_plan.h"
#include "platform/linux/open/native_path.h"

#include <utility>

namespace vantrel::platform::linux_backend {

namespace {

// A binding may be megabytes long; a notice shows its start.
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

std::u16string utf16Of(std::string_view utf8) { return fromNativePath(utf8); }

// shownTarget: the target as it may appear on one line.
void reportFailure(UserNotice &notice, std::optional<FunctionKey> key, const std::string &shownTarget,
                   const std::string &reason)
{
    // One notice per key, the latest failure in it; opens from a window
    // share one.
    const std::string noticeKey = key ? "open " + std::string(keyLabel(*key)) : "open";
    const std::u16string summary =
        key ? utf16Of(std::string(keyLabel(*key)) + " could not open its file") : u"Could not open the file";
    notice.tell(noticeKey, summary, utf16Of(shortened(shownTarget) + ": " + shortened(printableName(reason))));
}

std::string launch(const std::string &target)
{
    const LaunchPlan plan = planLaunch(target);
    switch (plan.kind) {
    case LaunchPlan::Kind::Unopenable:
        return plan.reason;
    case LaunchPlan::Kind::Address:
        return openWithDefaultHandler(plan.location);
    case LaunchPlan::Kind::DesktopEntry:
        return openDesktopEntry(plan.location);
    case LaunchPlan::Kind::Program:
        return runProgram(plan.location);
    case LaunchPlan::Kind::DefaultHandler:
        return openFileWithDefaultHandler(plan.location);
    }
    return {};
}

} // namespace

GioOpener::GioOpener(std::shared_ptr<UserNotice> notice) : notice_(std::move(notice)) {}

std::string GioOpener::open(const std::u16string &target) { return start(std::nullopt, target); }

std::string GioOpener::openBinding(FunctionKey key, const std::u16string &target) { return start(key, target); }

std::string GioOpener::start(std::optional<FunctionKey> key, const std::u16string &target)
{
    if (target.empty())
        return "there is no file to open";
    const auto bytes = toNativePath(target);
    if (!bytes) {
        const std::string refusal = "not a valid file name";
        reportFailure(*notice_, key, printableText(target), refusal);
        return refusal;
    }
    const auto job = [notice = notice_, key, target = *bytes] {
        if (const std::string failure = launch(target); !failure.empty())
            reportFailure(*notice, key, printableName(target), failure);
    };
    if (!threads_.post(*bytes, job)) {
        const std::string refusal = "earlier opens of it have not finished";
        reportFailure(*notice_, key, printableName(*bytes), refusal);
        return refusal;
    }
    return {};
}

} // namespace vantrel::platform::linux_backend
