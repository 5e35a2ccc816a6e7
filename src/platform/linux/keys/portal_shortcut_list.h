#pragma once

#include "platform/key_source.h"
#include "platform/linux/keys/portal_session.h"

#include <gio/gio.h>

#include <optional>
#include <string>
#include <string_view>

namespace vantrel::platform::linux_backend {

// How our keys look in the GlobalShortcuts portal's messages: the shortcut
// list we send, the triggers the desktop answers with, and the objects it
// names after us.

// The key a shortcut id of ours names.
std::optional<FunctionKey> keyOfShortcut(std::string_view id);

// One shortcut per selected key, with the key as id and preferred trigger;
// a floating a(sa{sv}).
GVariant *shortcutList(const KeySelection &keys);

// Every selected key without a trigger: the desktop bound none of them.
DesktopTriggers unassigned(const KeySelection &keys);

// The triggers a list of shortcuts, as the portal describes them, gives our
// keys; a key the list leaves out has none. Without a list nothing is known.
DesktopTriggers triggersIn(GVariant *shortcuts, const KeySelection &keys);

// Whether the list names every selected key.
bool listsEveryKey(GVariant *shortcuts, const KeySelection &keys);

// The request and session objects the portal makes for us are named after
// our unique bus name and the token we give.
std::string portalObjectPath(GDBusConnection *connection, const char *kind, const std::string &token);

} // namespace vantrel::platform::linux_backend
