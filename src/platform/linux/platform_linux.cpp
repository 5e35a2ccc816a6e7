#include "platform/display.h"
#include "platform/platform.h"

#include "platform/diagnostic.h"
#include "platform/linux/bus/gdbus_session_bus.h"
#include "platform/linux/keys/key_route.h"
#include "platform/linux/keys/portal_key_source.h"
#include "platform/linux/keys/wayland_display.h"
#include "platform/linux/keys/x11_key_source.h"
#include "platform/linux/keys/x_display.h"
#include "platform/linux/notify/desktop_notice.h"
#include "platform/linux/open/gio_opener.h"
#include "platform/linux/settings/registry_file.h"

#include <cstdlib>
#include <mutex>

namespace vantrel::platform {

namespace {

// Where no route sees the keys: presses come only from "vantrel --press".
class NoKeySource final : public KeySource {
public:
    bool start(std::string *) override { return true; }
    KeySourceWakeup wakeup() const override { return {}; }
    bool collect() override { return true; }
    KeyState query(FunctionKey) override { return {}; }
};

std::optional<std::string> environmentVariable(std::string_view name)
{
    const char *value = std::getenv(std::string(name).c_str());
    if (!value)
        return std::nullopt;
    return std::string(value);
}

} // namespace

std::unique_ptr<Registry> createRegistry() { return std::make_unique<linux_backend::RegistryFile>(); }

std::unique_ptr<KeySource> createKeySource()
{
    const auto choice = linux_backend::chooseKeyRoute({environmentVariable, linux_backend::sessionBusHasPortal});
    printDiagnostic(choice.line);
    switch (choice.route) {
    case linux_backend::KeyRoute::XInput2:
        return std::make_unique<linux_backend::X11KeySource>();
    case linux_backend::KeyRoute::Portal:
        return std::make_unique<linux_backend::PortalKeySource>(sharedUserNotice());
    case linux_backend::KeyRoute::None:
        break;
    }
    return std::make_unique<NoKeySource>();
}

std::unique_ptr<Opener> createOpener()
{
    return std::make_unique<linux_backend::GioOpener>(sharedUserNotice());
}

std::shared_ptr<UserNotice> sharedUserNotice()
{
    // Each notice service keeps a thread: the key source and the opener share
    // one, which goes when the last of them does.
    static std::mutex guard;
    static std::weak_ptr<UserNotice> shared;
    const std::lock_guard lock(guard);
    auto notice = shared.lock();
    if (!notice) {
        notice = std::make_shared<linux_backend::DesktopNotice>();
        shared = notice;
    }
    return notice;
}

bool displayAvailable(std::string_view qtPlatform, std::string *why)
{
    if (qtPlatform == "xcb")
        return linux_backend::xDisplayAvailable(why);
    if (qtPlatform == "wayland")
        return linux_backend::waylandDisplayAvailable(why);
    return true;
}

SessionBusAccess connectSessionBus() { return linux_backend::GdbusSessionBus::connect(); }

} // namespace vantrel::platform
