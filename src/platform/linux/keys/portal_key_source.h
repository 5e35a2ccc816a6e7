#pragma once

#include "platform/key_source.h"
#include "platform/linux/keys/portal_session.h"
#include "platform/linux/keys/shortcut_press_counter.h"
#include "platform/user_notice.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::platform::linux_backend {

// F6 to F12 as the desktop's global shortcuts, through the portal. Only the
// keys that have a file are asked for, and the desktop takes them from the
// other programs while Vantrel runs. The conversation with the portal runs
// on a thread of its own, which wakes the program through a descriptor only
// when the desktop reports something, so an idle program does no work.
// Starting does not wait for the portal; while the keys do not work for more
// than a few seconds, the user is told once through the notice, with what to
// do.
class PortalKeySource final : public KeySource {
public:
    explicit PortalKeySource(std::shared_ptr<UserNotice> notice);
    ~PortalKeySource() override;

    PortalKeySource(const PortalKeySource &) = delete;
    PortalKeySource &operator=(const PortalKeySource &) = delete;

    bool start(std::string *error) override;
    KeySourceWakeup wakeup() const override;
    bool collect() override;
    KeyState query(FunctionKey key) override;
    void useKeys(const KeySelection &keys) override;
    std::optional<std::string> desktopTrigger(FunctionKey key) const override;

private:
    // What the session's thread hands over to the program's.
    struct Inbox {
        std::mutex mutex;
        std::vector<ShortcutSignal> signals;
        std::optional<DesktopTriggers> triggers;
        std::optional<std::string> unavailable;
        bool lost = false;
    };

    void wake();
    void tellUnavailable(const std::string &why);

    std::shared_ptr<UserNotice> notice_;
    int wakeFd_ = -1;
    Inbox inbox_;
    std::unique_ptr<PortalSession> session_;
    std::optional<KeySelection> used_;
    bool lost_ = false;
    ShortcutPressCounter counter_;
    DesktopTriggers triggers_;
};

} // namespace vantrel::platform::linux_backend
