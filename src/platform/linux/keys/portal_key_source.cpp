#include "platform/linux/keys/portal_key_source.h"
#include "platform/diagnostic.h"
#include "platform/linux/glib_handles.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace vantrel::platform::linux_backend {

namespace {

ShortcutPressCounter::Time now() { return std::chrono::steady_clock::now().time_since_epoch(); }

std::u16string utf16Of(const std::string &utf8)
{
    glong length = 0;
    const GCharPtr converted(reinterpret_cast<gchar *>(g_utf8_to_utf16(utf8.c_str(), -1, nullptr, &length, nullptr)));
    if (!converted)
        return u"?";
    return {reinterpret_cast<const char16_t *>(converted.get()), static_cast<std::size_t>(length)};
}

} // namespace

PortalKeySource::PortalKeySource(std::shared_ptr<UserNotice> notice) : notice_(std::move(notice)) {}

PortalKeySource::~PortalKeySource()
{
    // The session's thread ends first: it still wakes us until then.
    session_.reset();
    if (wakeFd_ >= 0)
        close(wakeFd_);
}

bool PortalKeySource::start(std::string *error)
{
    if (session_)
        return !lost_;
    if (wakeFd_ < 0) {
        wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (wakeFd_ < 0) {
            *error = std::string("no event descriptor: ") + std::strerror(errno);
            return false;
        }
    }
    PortalSessionEvents events;
    events.signal = [this](const ShortcutSignal &signal) {
        {
            const std::lock_guard lock(inbox_.mutex);
            inbox_.signals.push_back(signal);
        }
        wake();
    };
    events.triggers = [this](const DesktopTriggers &triggers) {
        {
            const std::lock_guard lock(inbox_.mutex);
            inbox_.triggers = triggers;
        }
        wake();
    };
    events.lost = [this](const std::string &why) {
        printDiagnostic("vantrel: " + why);
        {
            const std::lock_guard lock(inbox_.mutex);
            inbox_.lost = true;
        }
        wake();
    };
    events.unavailable = [this](const std::string &why) {
        {
            const std::lock_guard lock(inbox_.mutex);
            inbox_.unavailable = why;
        }
        wake();
    };
    session_ = std::make_unique<PortalSession>(std::move(events));
    if (used_)
        session_->bind(*used_);
    return true;
}

void PortalKeySource::wake()
{
    const std::uint64_t one = 1;
    // A full counter already wakes the reader; nothing else can fail here.
    [[maybe_unused]] const auto written = write(wakeFd_, &one, sizeof one);
}

KeySourceWakeup PortalKeySource::wakeup() const
{
    KeySourceWakeup wakeup;
    wakeup.fd = wakeFd_;
    return wakeup;
}

bool PortalKeySource::collect()
{
    if (!session_)
        return false;
    std::uint64_t count = 0;
    [[maybe_unused]] const auto read = ::read(wakeFd_, &count, sizeof count);
    std::vector<ShortcutSignal> signals;
    std::optional<std::string> unavailable;
    {
        const std::lock_guard lock(inbox_.mutex);
        signals.swap(inbox_.signals);
        if (inbox_.triggers) {
            triggers_ = *inbox_.triggers;
            inbox_.triggers.reset();
        }
        lost_ = inbox_.lost;
        unavailable.swap(inbox_.unavailable);
    }
    if (unavailable)
        tellUnavailable(*unavailable);
    for (const auto &signal : signals) {
        if (signal.activated)
            counter_.activated(signal.key, signal.at);
        else
            counter_.deactivated(signal.key);
    }
    return !lost_;
}

void PortalKeySource::tellUnavailable(const std::string &why)
{
    std::string body = why;
    if (!body.empty())
        body.front() = static_cast<char>(std::toupper(static_cast<unsigned char>(body.front())));
    body += ". Vantrel keeps asking, and the keys work again as soon as the desktop answers. Meanwhile "
            "\"vantrel --press F6\" (or another key) opens a key's file; if the keys do not come back, log out "
            "and in again.";
    notice_->tell("keys", u"F6 to F12 do not work for now", utf16Of(body));
}

KeyState PortalKeySource::query(FunctionKey key) { return counter_.query(key, now()); }

void PortalKeySource::useKeys(const KeySelection &keys)
{
    if (used_ == keys)
        return;
    used_ = keys;
    if (session_)
        session_->bind(keys);
}

std::optional<std::string> PortalKeySource::desktopTrigger(FunctionKey key) const { return triggers_[slotIndex(key)]; }

} // namespace vantrel::platform::linux_backend
