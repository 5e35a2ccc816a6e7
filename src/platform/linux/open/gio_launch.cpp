#include "platform/linux/open/gio_launch.h"

#include "platform/linux/glib_handles.h"

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <linux/close_range.h>
#include <pthread.h>
#include <sys/wait.h>
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

struct Descriptor {
    explicit Descriptor(int opened) : fd(opened) {}
    ~Descriptor() { close(); }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    void close()
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
    int fd;
};

// In a child of ours, where only system calls are safe: another thread may
// have held any lock at the fork.
[[noreturn]] void leaveWithError(int report)
{
    const int error = errno;
    [[maybe_unused]] const ssize_t written = ::write(report, &error, sizeof error);
    _exit(127);
}

[[noreturn]] void becomeProgram(const char *path, char *const argv[], int report)
{
    if (::setsid() < 0)
        leaveWithError(report);
    // Signals start as a freshly started program expects them: none blocked,
    // none ignored.
    struct sigaction byDefault {};
    byDefault.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal)
        ::sigaction(signal, &byDefault, nullptr);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    const int input = ::open("/dev/null", O_RDONLY);
    if (input < 0)
        leaveWithError(report);
    if (input != STDIN_FILENO) {
        if (::dup2(input, STDIN_FILENO) < 0)
            leaveWithError(report);
        ::close(input);
    }
    // Only the standard descriptors go on; the report closes at the exec.
    if (::close_range(STDERR_FILENO + 1, ~0U, CLOSE_RANGE_CLOEXEC) != 0) {
        ::close_range(STDERR_FILENO + 1, static_cast<unsigned>(report) - 1, 0);
        ::close_range(static_cast<unsigned>(report) + 1, ~0U, 0);
    }
    ::execve(path, argv, environ);
    leaveWithError(report);
}

// The middle of a double fork: the program's process is orphaned at once and
// so reaped by the system (init, or the session's subreaper), and no thread
// of ours has to wait for it, however long it runs.
[[noreturn]] void startProgramAndLeave(const char *path, char *const argv[], int report)
{
    const pid_t program = _Fork();
    if (program == 0)
        becomeProgram(path, argv, report);
    if (program < 0)
        leaveWithError(report);
    _exit(0);
}

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
    // it with /bin/sh; a plain execve reports the refusal instead.
    // The pipe on which the program's process says why it could not start;
    // it closes unwritten when the program's image replaces it.
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0)
        return std::string("cannot run it: ") + std::strerror(errno);
    // Above the standard descriptors, which the program's process replaces.
    for (int &end : pipeEnds) {
        if (end <= STDERR_FILENO) {
            const int moved = ::fcntl(end, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
            ::close(end);
            end = moved;
        }
    }
    const Descriptor reading(pipeEnds[0]);
    Descriptor writing(pipeEnds[1]);
    if (reading.fd < 0 || writing.fd < 0)
        return std::string("cannot run it: ") + std::strerror(errno);

    char *const argv[] = {const_cast<char *>(path.c_str()), nullptr};
    // No handler of ours may run in a child before its exec.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    const pid_t middle = _Fork();
    if (middle == 0)
        startProgramAndLeave(path.c_str(), argv, writing.fd);
    const int forkError = errno;
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (middle < 0)
        return std::string("cannot run it: ") + std::strerror(forkError);
    writing.close();
    // The middle process ends as soon as it has forked.
    while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
    }

    int failure = 0;
    ssize_t got = 0;
    do
        got = ::read(reading.fd, &failure, sizeof failure);
    while (got < 0 && errno == EINTR);
    if (got != static_cast<ssize_t>(sizeof failure))
        return {};
    if (failure == ENOENT)
        // The file itself was there a moment ago: what is missing is what the
        // kernel loads to run it.
        return std::string("cannot run it: ") + std::strerror(failure) +
               " (a program it needs to start, such as its interpreter, is missing)";
    return std::string("cannot run it: ") + std::strerror(failure);
}

} // namespace vantrel::platform::linux_backend
