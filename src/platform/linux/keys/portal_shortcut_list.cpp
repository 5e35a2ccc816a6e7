#include "platform/linux/keys/portal_shortcut_list.h"

#include "platform/linux/glib_handles.h"

namespace vantrel::platform::linux_backend {

namespace {

constexpr const char *kPortalPath = "/org/freedesktop/portal/desktop";
constexpr const char *kShortcutListType = "a(sa{sv})";

bool isShortcutList(GVariant *shortcuts)
{
    return shortcuts && g_variant_is_of_type(shortcuts, G_VARIANT_TYPE(kShortcutListType));
}

} // namespace

std::optional<FunctionKey> keyOfShortcut(std::string_view id)
{
    for (const auto key : kFunctionKeys)
        if (keyLabel(key) == id)
            return key;
    return std::nullopt;
}

GVariant *shortcutList(const KeySelection &keys)
{
    GVariantBuilder list;
    g_variant_builder_init(&list, G_VARIANT_TYPE(kShortcutListType));
    for (const auto key : kFunctionKeys) {
        if (!keys[slotIndex(key)])
            continue;
        const std::string label(keyLabel(key));
        const std::string description = "Open the file bound to " + label;
        GVariantBuilder properties;
        g_variant_builder_init(&properties, G_VARIANT_TYPE_VARDICT);
        g_variant_builder_add(&properties, "{sv}", "description", g_variant_new_string(description.c_str()));
        g_variant_builder_add(&properties, "{sv}", "preferred_trigger", g_variant_new_string(label.c_str()));
        g_variant_builder_add(&list, "(s@a{sv})", label.c_str(), g_variant_builder_end(&properties));
    }
    return g_variant_builder_end(&list);
}

DesktopTriggers unassigned(const KeySelection &keys)
{
    DesktopTriggers triggers;
    for (const auto key : kFunctionKeys)
        if (keys[slotIndex(key)])
            triggers[slotIndex(key)] = std::string();
    return triggers;
}

DesktopTriggers triggersIn(GVariant *shortcuts, const KeySelection &keys)
{
    if (!isShortcutList(shortcuts))
        return {};
    DesktopTriggers triggers = unassigned(keys);
    GVariantIter iter;
    g_variant_iter_init(&iter, shortcuts);
    const char *id = nullptr;
    GVariant *properties = nullptr;
    while (g_variant_iter_next(&iter, "(&s@a{sv})", &id, &properties)) {
        const GVariantPtr owned(properties);
        const auto key = keyOfShortcut(id);
        if (!key || !keys[slotIndex(*key)])
            continue;
        const char *trigger = nullptr;
        // A backend that does not describe triggers leaves the key as it is.
        if (g_variant_lookup(properties, "trigger_description", "&s", &trigger))
            triggers[slotIndex(*key)] = trigger;
        else
            triggers[slotIndex(*key)].reset();
    }
    return triggers;
}

bool listsEveryKey(GVariant *shortcuts, const KeySelection &keys)
{
    KeySelection listed{};
    if (isShortcutList(shortcuts)) {
        GVariantIter iter;
        g_variant_iter_init(&iter, shortcuts);
        const char *id = nullptr;
        while (g_variant_iter_next(&iter, "(&s@a{sv})", &id, nullptr))
            if (const auto key = keyOfShortcut(id))
                listed[slotIndex(*key)] = true;
    }
    for (std::size_t slot = 0; slot < kFunctionKeyCount; ++slot)
        if (keys[slot] && !listed[slot])
            return false;
    return true;
}

std::string portalObjectPath(GDBusConnection *connection, const char *kind, const std::string &token)
{
    std::string sender = g_dbus_connection_get_unique_name(connection);
    if (!sender.empty() && sender.front() == ':')
        sender.erase(0, 1);
    for (char &c : sender)
        if (c == '.')
            c = '_';
    return std::string(kPortalPath) + "/" + kind + "/" + sender + "/" + token;
}

} // namespace vantrel::platform::linux_backend
