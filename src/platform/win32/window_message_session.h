#pragma once

#include "platform/session_bus.h"

#include <memory>

namespace vantrel::platform::windows_backend {

// One Vantrel per Windows session, and the way `vantrel.exe --press KEY` and
// a second copy reach it. The running copy holds a named mutex in the
// session's namespace (the claim: the first of several copies started at once
// gets it, and it is free again the moment the process ends, however it
// ends) and a message-only window on a thread of its own that takes requests
// as WM_COPYDATA messages. Windows has no session bus; this is what its
// programs use in its place.
class WindowMessageSession final : public SessionBus {
public:
    WindowMessageSession();
    ~WindowMessageSession() override;
    WindowMessageSession(const WindowMessageSession &) = delete;
    WindowMessageSession &operator=(const WindowMessageSession &) = delete;

    Claim claimName(std::string *error) override;
    Delivery press(FunctionKey key, std::string *error) override;
    Delivery showConfiguration(std::string *error) override;
    int wakeupFd() const override { return -1; }
    void *wakeupEvent() const override;
    SessionRequests collect() override;

private:
    struct Server;
    std::unique_ptr<Server> server_;
};

} // namespace vantrel::platform::windows_backend
