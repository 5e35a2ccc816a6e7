#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel::platform::linux_backend {

// What the user can do where nothing sees the keys themselves.
inline constexpr std::string_view kPressAdvice =
    "bind each key to \"vantrel --press KEY\" in the desktop's shortcut settings";

// Which way F6 to F12 reach the program.
enum class KeyRoute {
    // XInput2 on the X display: every key typed into an X program, observed.
    XInput2,
    // The desktop's global shortcuts portal: the desktop hands us the keys.
    Portal,
    // Nothing watches the keys; presses come only from "vantrel --press".
    None,
};

// What the choice looks at. The bus is asked about the portal only when the
// answer depends on it.
struct KeyRouteProbes {
    // An environment variable; empty or absent alike.
    std::function<std::optional<std::string>(std::string_view name)> environment;
    // Whether the session bus has the desktop portal or can start it. The
    // portal itself is never asked here: one that is slow or hung must not
    // hold up the start, and whether it offers global shortcuts shows when
    // it answers.
    std::function<bool()> desktopHasPortal;
};

struct KeyRouteChoice {
    KeyRoute route = KeyRoute::None;
    // One line for standard error that says which route watches the keys,
    // and how to reach the program where no route sees them all.
    std::string line;
};

// VANTREL_KEY_SOURCE=x11|portal|none forces a route. Otherwise an X11
// session uses XInput2; a Wayland session uses the portal where the desktop
// has one, else XInput2 through XWayland where there is a display.
KeyRouteChoice chooseKeyRoute(const KeyRouteProbes &probes);

} // namespace vantrel::platform::linux_backend
