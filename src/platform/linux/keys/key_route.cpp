#include "platform/linux/keys/key_route.h"

#include <algorithm>
#include <cctype>

namespace vantrel::platform::linux_backend {

namespace {

constexpr std::string_view kForceVariable = "VANTREL_KEY_SOURCE";

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

class Chooser {
public:
    explicit Chooser(const KeyRouteProbes &probes) : probes_(probes) {}

    KeyRouteChoice choose()
    {
        const auto forced = variable(kForceVariable);
        if (forced) {
            const auto name = lowered(*forced);
            if (name == "x11")
                return xinput2(" (VANTREL_KEY_SOURCE=x11)");
            if (name == "portal")
                return portal(" (VANTREL_KEY_SOURCE=portal)");
            if (name == "none")
                return {KeyRoute::None,
                        "vantrel: not watching F6 to F12 (VANTREL_KEY_SOURCE=none); " + std::string(kPressAdvice)};
        }
        // A value we do not know is not a reason to watch nothing.
        const std::string ignored =
            forced ? "; VANTREL_KEY_SOURCE=\"" + *forced + "\" is not x11, portal or none and was ignored" : "";
        if (!waylandSession())
            return xinput2(ignored);
        if (probes_.desktopHasPortal())
            return portal(ignored);
        if (variable("DISPLAY"))
            return xinput2(" (the desktop has no portal)" + ignored);
        return {KeyRoute::None, "vantrel: nothing watches F6 to F12 on this Wayland desktop (no desktop portal, "
                                "no X display); " +
                                    std::string(kPressAdvice) + ignored};
    }

private:
    std::optional<std::string> variable(std::string_view name) const
    {
        auto value = probes_.environment(name);
        if (value && value->empty())
            value.reset();
        return value;
    }

    bool waylandSession() const
    {
        const auto type = variable("XDG_SESSION_TYPE");
        return variable("WAYLAND_DISPLAY") || (type && lowered(*type) == "wayland");
    }

    KeyRouteChoice xinput2(const std::string &why) const
    {
        std::string line = "vantrel: watching F6 to F12 through XInput2 on the X display" + why;
        // XWayland shows an X client only the keys typed into X programs.
        if (waylandSession())
            line += "; keys typed into native Wayland programs are not seen: " + std::string(kPressAdvice);
        return {KeyRoute::XInput2, line};
    }

    // The portal says later, when it answers, that it watches the keys.
    static KeyRouteChoice portal(const std::string &why)
    {
        return {KeyRoute::Portal, "vantrel: waiting for the desktop's global shortcuts portal" + why};
    }

    const KeyRouteProbes &probes_;
};

} // namespace

KeyRouteChoice chooseKeyRoute(const KeyRouteProbes &probes) { return Chooser(probes).choose(); }

} // namespace vantrel::platform::linux_backend
