#include "platform/linux/keys/key_route.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using vantrel::platform::linux_backend::chooseKeyRoute;
using vantrel::platform::linux_backend::KeyRoute;
using vantrel::platform::linux_backend::KeyRouteChoice;
using vantrel::platform::linux_backend::KeyRouteProbes;

enum class Portal { Offered, Absent, MustNotBeAsked };

struct Case {
    const char *what;
    std::map<std::string, std::string, std::less<>> environment;
    Portal portal;
    KeyRoute expected;
    bool namesPressCommand;
};

const Case kCases[] = {
    {"X11 session", {{"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "x11"}}, Portal::MustNotBeAsked, KeyRoute::XInput2, false},
    {"display alone", {{"DISPLAY", ":0"}}, Portal::MustNotBeAsked, KeyRoute::XInput2, false},
    {"Wayland with the portal",
     {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}},
     Portal::Offered,
     KeyRoute::Portal,
     false},
    {"Wayland session type alone", {{"XDG_SESSION_TYPE", "wayland"}}, Portal::Offered, KeyRoute::Portal, false},
    {"Wayland without the portal, XWayland",
     {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}},
     Portal::Absent,
     KeyRoute::XInput2,
     true},
    {"Wayland without the portal or a display",
     {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ""}},
     Portal::Absent,
     KeyRoute::None,
     true},
    {"forced XInput2 on Wayland",
     {{"VANTREL_KEY_SOURCE", "x11"}, {"WAYLAND_DISPLAY", "w"}},
     Portal::MustNotBeAsked,
     KeyRoute::XInput2,
     true},
    {"forced portal on X11",
     {{"VANTREL_KEY_SOURCE", "Portal"}, {"DISPLAY", ":0"}},
     Portal::MustNotBeAsked,
     KeyRoute::Portal,
     false},
    {"forced none", {{"VANTREL_KEY_SOURCE", "none"}, {"DISPLAY", ":0"}}, Portal::MustNotBeAsked, KeyRoute::None, true},
    {"empty choice", {{"VANTREL_KEY_SOURCE", ""}, {"WAYLAND_DISPLAY", "w"}}, Portal::Offered, KeyRoute::Portal, false},
    {"unknown choice",
     {{"VANTREL_KEY_SOURCE", "evdev"}, {"DISPLAY", ":0"}},
     Portal::MustNotBeAsked,
     KeyRoute::XInput2,
     false},
};

TEST(KeyRoute, ChosenFromTheSessionAndTheDesktopOrForced)
{
    for (const auto &c : kCases) {
        SCOPED_TRACE(c.what);
        KeyRouteProbes probes;
        probes.environment = [&](std::string_view name) -> std::optional<std::string> {
            const auto found = c.environment.find(name);
            if (found == c.environment.end())
                return std::nullopt;
            return found->second;
        };
        probes.desktopHasPortal = [&] {
            EXPECT_NE(c.portal, Portal::MustNotBeAsked);
            return c.portal == Portal::Offered;
        };
        const KeyRouteChoice choice = chooseKeyRoute(probes);
        EXPECT_EQ(choice.route, c.expected);
        EXPECT_EQ(choice.line.rfind("vantrel: ", 0), 0u) << choice.line;
        EXPECT_EQ(choice.line.find('\n'), std::string::npos);
        EXPECT_EQ(choice.line.find("vantrel --press") != std::string::npos, c.namesPressCommand) << choice.line;
        // Whether the portal offers the keys shows only when it answers.
        EXPECT_EQ(choice.line.find("waiting for the desktop's global shortcuts portal") != std::string::npos,
                  c.expected == KeyRoute::Portal)
            << choice.line;
        const auto forced = c.environment.find("VANTREL_KEY_SOURCE");
        if (forced != c.environment.end() && !forced->second.empty()) {
            EXPECT_NE(choice.line.find("VANTREL_KEY_SOURCE"), std::string::npos) << choice.line;
        }
    }
}

} // namespace
