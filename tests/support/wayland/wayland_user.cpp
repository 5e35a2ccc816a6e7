// Plays the user on a KWin Wayland session for tests: types keys through
// KWin's fake-input protocol, as a keyboard would, and looks at the windows
// through its window-management protocol, as a task bar would.
//
//   wayland_user COMMAND...
//
// Commands, run in turn: "press CODE", "release CODE", "tap CODE" (Linux key
// codes: F6 = 64 ... F10 = 68, F11 = 87, F12 = 88), "sleep MILLISECONDS" and
// "windows". Once the compositor has handled a key command, one line goes to
// standard output: the command and the CLOCK_MONOTONIC time in nanoseconds at
// which its first key event was sent, so that a reader can time what
// followed. "windows" prints one line per window shown: "window PID ACTIVE
// TITLE", ACTIVE 1 for the window with the keyboard focus.
//
// KWin offers both protocols only to programs named by a desktop file with
// X-KDE-Wayland-Interfaces: scripts/with-kwin writes one for this program.

#include "fake-input-client-protocol.h"
#include "plasma-window-management-client-protocol.h"

#include <wayland-client.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <list>
#include <string>
#include <thread>

namespace {

constexpr std::uint32_t kPressed = 1;
constexpr std::uint32_t kReleased = 0;
// get_window by the window event's number, which later versions replace by
// uuids.
constexpr std::uint32_t kWindowManagementVersion = 12;

struct Globals {
    wl_registry *registry = nullptr;
    org_kde_kwin_fake_input *fakeInput = nullptr;
    std::uint32_t windowManagementName = 0;
};

void announce(void *data, wl_registry *registry, std::uint32_t name, const char *interface, std::uint32_t version)
{
    auto *globals = static_cast<Globals *>(data);
    // keyboard_key came with version 4.
    if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
        globals->fakeInput = static_cast<org_kde_kwin_fake_input *>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
    else if (std::strcmp(interface, org_kde_plasma_window_management_interface.name) == 0 &&
             version >= kWindowManagementVersion)
        globals->windowManagementName = name;
}

void withdraw(void *, wl_registry *, std::uint32_t) {}

const wl_registry_listener kRegistryListener{announce, withdraw};

long long monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// What the window-management protocol tells of one window.
struct Window {
    org_kde_plasma_window *proxy = nullptr;
    std::string title;
    std::uint32_t pid = 0;
    std::uint32_t state = 0;
    bool known = false;
    bool unmapped = false;
};

// One dispatcher for all the events of the objects: only a few matter here,
// and a listener would need a function for each.
int onWindowEvent(const void *, void *target, std::uint32_t, const wl_message *message, wl_argument *args)
{
    auto *window = static_cast<Window *>(wl_proxy_get_user_data(static_cast<wl_proxy *>(target)));
    const std::string event = message->name;
    if (event == "title_changed")
        window->title = args[0].s ? args[0].s : "";
    else if (event == "pid_changed")
        window->pid = args[0].u;
    else if (event == "state_changed")
        window->state = args[0].u;
    else if (event == "unmapped")
        window->unmapped = true;
    else if (event == "initial_state")
        window->known = true;
    return 0;
}

int onWindowManagementEvent(const void *, void *target, std::uint32_t, const wl_message *message, wl_argument *args)
{
    auto *windows = static_cast<std::list<Window> *>(wl_proxy_get_user_data(static_cast<wl_proxy *>(target)));
    if (std::strcmp(message->name, "window") == 0) {
        Window &window = windows->emplace_back();
        window.proxy = org_kde_plasma_window_management_get_window(
            static_cast<org_kde_plasma_window_management *>(target), args[0].u);
        wl_proxy_add_dispatcher(reinterpret_cast<wl_proxy *>(window.proxy), onWindowEvent, nullptr, &window);
    }
    return 0;
}

// Lists the windows shown now, on a binding of its own.
bool printWindows(wl_display *display, const Globals &globals, std::string *error)
{
    if (globals.windowManagementName == 0) {
        *error = "the compositor does not offer org_kde_plasma_window_management to this program";
        return false;
    }
    std::list<Window> windows;
    auto *manager = static_cast<org_kde_plasma_window_management *>(
        wl_registry_bind(globals.registry, globals.windowManagementName, &org_kde_plasma_window_management_interface,
                         kWindowManagementVersion));
    wl_proxy_add_dispatcher(reinterpret_cast<wl_proxy *>(manager), onWindowManagementEvent, nullptr, &windows);
    // The windows come on the first round trip, what is known of each on the
    // second.
    const bool answered = wl_display_roundtrip(display) >= 0 && wl_display_roundtrip(display) >= 0;
    for (const Window &window : windows) {
        if (answered && window.known && !window.unmapped)
            std::printf("window %u %d %s\n", window.pid,
                        (window.state & ORG_KDE_PLASMA_WINDOW_MANAGEMENT_STATE_ACTIVE) != 0, window.title.c_str());
        org_kde_plasma_window_destroy(window.proxy);
    }
    org_kde_plasma_window_management_destroy(manager);
    if (!answered)
        *error = "the compositor went away";
    return answered;
}

// Runs one command; false with a message for a command that failed.
bool run(wl_display *display, const Globals &globals, const std::string &verb, const char *argument, std::string *error)
{
    if (verb == "windows")
        return printWindows(display, globals, error);
    char *end = nullptr;
    const long value = argument ? std::strtol(argument, &end, 10) : -1;
    if (!argument || *end != '\0' || value < 0) {
        *error = "a number must follow \"" + verb + "\"";
        return false;
    }
    if (verb == "sleep") {
        std::this_thread::sleep_for(std::chrono::milliseconds(value));
        return true;
    }
    if (!globals.fakeInput) {
        *error = "the compositor does not offer org_kde_kwin_fake_input version 4 to this program";
        return false;
    }
    const auto code = static_cast<std::uint32_t>(value);
    const long long sent = monotonicNanoseconds();
    if (verb == "press" || verb == "tap")
        org_kde_kwin_fake_input_keyboard_key(globals.fakeInput, code, kPressed);
    if (verb == "release" || verb == "tap")
        org_kde_kwin_fake_input_keyboard_key(globals.fakeInput, code, kReleased);
    if (verb != "press" && verb != "release" && verb != "tap") {
        *error = "unknown command \"" + verb + "\"";
        return false;
    }
    // The answer waits until the compositor has handled the events.
    if (wl_display_roundtrip(display) < 0) {
        *error = "the compositor went away";
        return false;
    }
    std::printf("%s %lld\n", verb.c_str(), sent);
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    wl_display *display = wl_display_connect(nullptr);
    if (!display) {
        const char *name = std::getenv("WAYLAND_DISPLAY");
        std::fprintf(stderr, "wayland_user: cannot connect to the Wayland display \"%s\"\n", name ? name : "");
        return 1;
    }
    Globals globals;
    globals.registry = wl_display_get_registry(display);
    wl_registry_add_listener(globals.registry, &kRegistryListener, &globals);
    wl_display_roundtrip(display);
    if (globals.fakeInput)
        org_kde_kwin_fake_input_authenticate(globals.fakeInput, "Vantrel tests", "Types the keys the tests press");

    int status = 0;
    for (int i = 1; i < argc && status == 0; ++i) {
        const std::string verb = argv[i];
        const char *argument = verb != "windows" && i + 1 < argc ? argv[++i] : nullptr;
        std::string error;
        if (!run(display, globals, verb, argument, &error)) {
            std::fprintf(stderr, "wayland_user: %s\n", error.c_str());
            status = 1;
        }
        std::fflush(stdout);
    }
    if (globals.fakeInput)
        org_kde_kwin_fake_input_destroy(globals.fakeInput);
    wl_registry_destroy(globals.registry);
    wl_display_disconnect(display);
    return status;
}
