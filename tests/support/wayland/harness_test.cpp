// The Wayland test harness itself, inside scripts/with-kwin: a client of the
// desktop portal that binds F8 hears it pressed on the session's keyboard,
// the window holding the focus gets every key but that one and is seen
// holding it, and a tray hears of the items registered with it.

#include "wayland_desktop.h"
#include "x_client.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <algorithm>

using namespace vantrel::test;

namespace {

constexpr const char *kPortal = "org.freedesktop.portal.Desktop";
constexpr const char *kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char *kShortcuts = "org.freedesktop.portal.GlobalShortcuts";

// Waits while the signals that come in are handled.
template <class Condition>
bool pumpUntil(Condition condition)
{
    return waitUntil(
        [&] {
            while (g_main_context_iteration(nullptr, FALSE)) {
            }
            return condition();
        },
        std::chrono::seconds(30));
}

void collectString(GDBusConnection *, const char *, const char *, const char *, const char *signal,
                   GVariant *parameters, gpointer strings)
{
    // Response(u code, a{sv} results) and Activated(o session, s id, t time, a{sv} options).
    const char *text = nullptr;
    if (g_strcmp0(signal, "Response") == 0) {
        guint32 code = 0;
        GVariant *results = nullptr;
        g_variant_get(parameters, "(u@a{sv})", &code, &results);
        if (code == 0)
            g_variant_lookup(results, "session_handle", "&s", &text);
        static_cast<std::vector<std::string> *>(strings)->push_back(text ? text : "refused");
        g_variant_unref(results);
    } else {
        g_variant_get_child(parameters, 1, "&s", &text);
        static_cast<std::vector<std::string> *>(strings)->push_back(text);
    }
}

TEST(WaylandHarness, APortalShortcutHearsTheKeyboardAndTheFocusedWindowTheRest)
{
    RecordingWindow window;
    WaylandKeyboard keyboard;

    GError *error = nullptr;
    GDBusConnection *bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    ASSERT_TRUE(bus) << error->message;
    // The portal answers on a request object named after the caller and a token.
    std::string sender = g_dbus_connection_get_unique_name(bus) + 1;
    std::replace(sender.begin(), sender.end(), '.', '_');
    const std::string request = std::string(kPortalPath) + "/request/" + sender + "/harness";

    std::vector<std::string> responses, activated;
    g_dbus_connection_signal_subscribe(bus, kPortal, "org.freedesktop.portal.Request", "Response", request.c_str(),
                                       nullptr, G_DBUS_SIGNAL_FLAGS_NONE, collectString, &responses, nullptr);
    g_dbus_connection_signal_subscribe(bus, kPortal, kShortcuts, "Activated", kPortalPath, nullptr,
                                       G_DBUS_SIGNAL_FLAGS_NONE, collectString, &activated, nullptr);

    // Plasma 5.27 binds the shortcuts named when the session is made.
    GVariantBuilder shortcut;
    g_variant_builder_init(&shortcut, G_VARIANT_TYPE("a{sv}"));
    g_variant_builder_add(&shortcut, "{sv}", "description", g_variant_new_string("Harness key"));
    g_variant_builder_add(&shortcut, "{sv}", "preferred_trigger", g_variant_new_string("F8"));
    GVariantBuilder shortcuts;
    g_variant_builder_init(&shortcuts, G_VARIANT_TYPE("a(sa{sv})"));
    g_variant_builder_add(&shortcuts, "(sa{sv})", "harness-f8", &shortcut);
    GVariantBuilder options;
    g_variant_builder_init(&options, G_VARIANT_TYPE("a{sv}"));
    g_variant_builder_add(&options, "{sv}", "handle_token", g_variant_new_string("harness"));
    g_variant_builder_add(&options, "{sv}", "session_handle_token", g_variant_new_string("harness"));
    g_variant_builder_add(&options, "{sv}", "shortcuts", g_variant_builder_end(&shortcuts));
    GVariant *reply = g_dbus_connection_call_sync(bus, kPortal, kPortalPath, kShortcuts, "CreateSession",
                                                  g_variant_new("(a{sv})", &options), nullptr, G_DBUS_CALL_FLAGS_NONE,
                                                  30000, nullptr, &error);
    ASSERT_TRUE(reply) << error->message;
    g_variant_unref(reply);
    ASSERT_TRUE(pumpUntil([&] { return !responses.empty(); })) << "the portal never answered CreateSession";
    ASSERT_NE(responses.front(), "refused");

    keyboard.tap("F8");
    keyboard.tap("F9");
    keyboard.tap("F8");
    ASSERT_TRUE(pumpUntil([&] { return activated.size() >= 2 && window.pressesOf("F9") >= 1; }))
        << activated.size() << " activations, F9 " << window.pressesOf("F9") << " times in the window";
    EXPECT_EQ(activated, (std::vector<std::string>{"harness-f8", "harness-f8"}));
    EXPECT_EQ(window.pressesOf("F8"), 0) << "the portal's key reached the window too";
    EXPECT_EQ(window.pressesOf("F9"), 1);
    EXPECT_TRUE(window.hasFocus());
    const auto windows = shownWindows();
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_EQ(windows.front().title, "Key recording window");
    EXPECT_TRUE(windows.front().active);

    Tray tray;
    reply = g_dbus_connection_call_sync(bus, "org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher",
                                        "org.kde.StatusNotifierWatcher", "RegisterStatusNotifierItem",
                                        g_variant_new("(s)", "org.example.Item"), nullptr, G_DBUS_CALL_FLAGS_NONE,
                                        30000, nullptr, &error);
    ASSERT_TRUE(reply) << error->message;
    g_variant_unref(reply);
    EXPECT_TRUE(waitUntil([&] { return !tray.items().empty(); }));
    EXPECT_EQ(tray.items(), std::vector<std::string>{"org.example.Item"});
    g_object_unref(bus);
}

} // namespace
