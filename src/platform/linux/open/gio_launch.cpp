#include "platform/linux/open/gio_launch.h"

#include "platform/linux/glib_handles.h"
#include "platform/linux/open/child_reaper.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <unistd.h>

extern char **environ;

namespace vantrel::platform::linux_backend {

namespace {

std::string messageOf(GError *raw)
{
    const GErrorPtr error(raw);
    return error ? error->message : "unknown error";
}

// Runs in the child between fork and exec: only async-signal-safe calls.
void startNewSession(gpointer) { setsid(); }

// uri: the one address to hand over, or null.
std::string launchApplication(GAppInfo *app, const char *uri)
{
    GList address{const_cast<char *>(uri), nullptr, nullptr};
    GList *uris = uri ? &address : nullptr;
    GError *error = nullptr;
    // Every application on this platform comes from a desktop entry; only
    // that kind of launch lets the child leave our session.
    const bool launched =
        G_IS_DESKTOP_APP_INFO(app)
            ? g_desktop_app_info_launch_uris_as_manager(G_DESKTOP_APP_INFO(app), uris, nullptr, G_SPAWN_SEARCH_PATH,
                                                        startNewSession, nullptr, nullptr, nullptr, &error)
            : g_app_info_launch_uris(app, uris, nullptr, &error);
    return launched ? std::string() : messageOf(error);
}

class PosixSpawnSetup {
public:
    PosixSpawnSetup()
    {
        posix_spawnattr_init(&attributes_);
        posix_spawn_file_actions_init(&actions_);
    }
    ~PosixSpawnSetup()
    {
        posix_spawn_file_actions_destroy(&actions_);
        posix_spawnattr_destroy(&attributes_);
    }
    PosixSpawnSetup(const PosixSpawnSetup &) = delete;
    PosixSpawnSetup &operator=(const PosixSpawnSetup &) = delete;

    posix_spawnattr_t attributes_;
    posix_spawn_file_actions_t actions_;
};

} // namespace

std::string openWithDefaultHandler(const std::string &uri)
{
    // As GLib picks the application, without the launch that would keep the
    // child in our session.
    GObjectPtr<GAppInfo> app;
    const GCharPtr scheme(g_uri_parse_scheme(uri.c_str()));
    if (scheme && *scheme)
        app.reset(g_app_info_get_default_for_uri_scheme(scheme.get()));
    if (!app) {
        const GObjectPtr<GFile> file(g_file_new_for_uri(uri.c_str()));
        GError *error = nullptr;
        app.reset(g_file_query_default_handler(file.get(), nullptr, &error));
        if (!app)
            return messageOf(error);
    }
    return launchApplication(app.get(), uri.c_str());
}

std::string openFileWithDefaultHandler(const std::string &path)
{
    GError *error = nullptr;
    const GCharPtr uri(g_filename_to_uri(path.c_str(), nullptr, &error));
    return uri ? openWithDefaultHandler(uri.get()) : messageOf(error);
}

std::string openDesktopEntry(const std::string &path)
{
    const std::unique_ptr<GKeyFile, decltype(&g_key_file_unref)> entry(g_key_file_new(), g_key_file_unref);
    GError *error = nullptr;
    if (!g_key_file_load_from_file(entry.get(), path.c_str(), G_KEY_FILE_NONE, &error))
        return messageOf(error);
    const GCharPtr type(
        g_key_file_get_string(entry.get(), G_KEY_FILE_DESKTOP_GROUP, G_KEY_FILE_DESKTOP_KEY_TYPE, nullptr));
    if (type && std::strcmp(type.get(), G_KEY_FILE_DESKTOP_TYPE_LINK) == 0) {
        const GCharPtr url(
            g_key_file_get_string(entry.get(), G_KEY_FILE_DESKTOP_GROUP, G_KEY_FILE_DESKTOP_KEY_URL, nullptr));
        if (url && url.get()[0] == '/')
            return openFileWithDefaultHandler(url.get());
        if (!url || !g_uri_peek_scheme(url.get()))
            return "a link entry without an address";
        return openWithDefaultHandler(url.get());
    }
    const GObjectPtr<GDesktopAppInfo> app(g_desktop_app_info_new_from_filename(path.c_str()));
    if (!app)
        return "not a desktop entry that describes an application or a link";
    return launchApplication(G_APP_INFO(app.get()), nullptr);
}

std::string runProgram(const std::string &path)
{
    // Not GLib's spawning: when the kernel refuses a file (ENOEXEC), GLib runs
    // it with /bin/sh. glibc's posix_spawn reports the refusal instead.
    PosixSpawnSetup setup;
    sigset_t noSignals;
    sigemptyset(&noSignals);
    posix_spawnattr_setsigmask(&setup.attributes_, &noSignals);
    posix_spawnattr_setflags(&setup.attributes_, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK);
    posix_spawn_file_actions_addopen(&setup.actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addclosefrom_np(&setup.actions_, STDERR_FILENO + 1);
    char *const argv[] = {const_cast<char *>(path.c_str()), nullptr};
    pid_t child = 0;
    const int failure = posix_spawn(&child, path.c_str(), &setup.actions_, &setup.attributes_, argv, environ);
    if (failure == ENOENT)
        // The file itself was there a moment ago: what is missing is what the
        // kernel loads to run it.
        return std::string("cannot run it: ") + std::strerror(failure) +
               " (a program it needs to start, such as its interpreter, is missing)";
    if (failure != 0)
        return std::string("cannot run it: ") + std::strerror(failure);
    reapWhenEnded(child);
    return {};
}

} // namespace vantrel::platform::linux_backend
