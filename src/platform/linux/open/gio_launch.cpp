#include "platform/linux/open/gio_launch.h"

#include "platform/linux/open/glib_handles.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <unistd.h>

namespace vantrel::platform::linux_backend {

namespace {

std::string messageOf(GError *raw)
{
    const GErrorPtr error(raw);
    return error ? error->message : "unknown error";
}

// The callback's data: done, until the launch finishes.
gpointer keep(LaunchDone done) { return new LaunchDone(std::move(done)); }
std::unique_ptr<LaunchDone> take(gpointer data) { return std::unique_ptr<LaunchDone>(static_cast<LaunchDone *>(data)); }

void defaultHandlerFinished(GObject *, GAsyncResult *result, gpointer data)
{
    const auto done = take(data);
    GError *error = nullptr;
    if (g_app_info_launch_default_for_uri_finish(result, &error))
        (*done)({});
    else
        (*done)(messageOf(error));
}

void desktopEntryFinished(GObject *app, GAsyncResult *result, gpointer data)
{
    const auto done = take(data);
    GError *error = nullptr;
    if (g_app_info_launch_uris_finish(G_APP_INFO(app), result, &error))
        (*done)({});
    else
        (*done)(messageOf(error));
}

// Runs in the child between fork and exec: only async-signal-safe calls.
void startNewSession(gpointer) { setsid(); }

} // namespace

void openWithDefaultHandler(const std::string &uri, LaunchDone done)
{
    g_app_info_launch_default_for_uri_async(uri.c_str(), nullptr, nullptr, defaultHandlerFinished,
                                            keep(std::move(done)));
}

void openFileWithDefaultHandler(const std::string &path, LaunchDone done)
{
    GError *error = nullptr;
    const GCharPtr uri(g_filename_to_uri(path.c_str(), nullptr, &error));
    if (uri)
        openWithDefaultHandler(uri.get(), std::move(done));
    else
        done(messageOf(error));
}

void launchDesktopEntry(const std::string &path, LaunchDone done)
{
    const GObjectPtr<GDesktopAppInfo> app(g_desktop_app_info_new_from_filename(path.c_str()));
    if (!app) {
        done("not a desktop entry that describes an application");
        return;
    }
    g_app_info_launch_uris_async(G_APP_INFO(app.get()), nullptr, nullptr, nullptr, desktopEntryFinished,
                                 keep(std::move(done)));
}

void runProgram(const std::string &path, LaunchDone done)
{
    // Without flags the child's input is /dev/null and it inherits no
    // descriptor beyond the standard three.
    const GObjectPtr<GSubprocessLauncher> launcher(g_subprocess_launcher_new(G_SUBPROCESS_FLAGS_NONE));
    g_subprocess_launcher_set_child_setup(launcher.get(), startNewSession, nullptr, nullptr);
    const gchar *const argv[] = {path.c_str(), nullptr};
    GError *error = nullptr;
    // The subprocess object watches for the child's end on GLib's own worker
    // thread and reaps it there, so dropping our reference leaves no zombie.
    const GObjectPtr<GSubprocess> child(g_subprocess_launcher_spawnv(launcher.get(), argv, &error));
    if (child)
        done({});
    else
        done(messageOf(error));
}

} // namespace vantrel::platform::linux_backend
