// The website window closed by the user, as a desktop's close box does it:
// the helper ends, and its web engine with it.

#include "app/website_launcher.h"
#include "process_tree.h"
#include "website_config.h"

#include <QCoreApplication>
#include <QTest>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <memory>
#include <optional>
#include <string>

using vantrel::WebsiteLauncher;
using vantrel::test::descendantsOf;
using vantrel::test::isAlive;

namespace {

struct DisplayCloser {
    void operator()(Display *display) const { XCloseDisplay(display); }
};
using DisplayHandle = std::unique_ptr<Display, DisplayCloser>;

// The test looks at other programs' windows, which may go at any moment; a
// request about a window already gone must not end the test.
int ignoreXErrors(Display *, XErrorEvent *) { return 0; }

struct XFreer {
    void operator()(void *data) const { XFree(data); }
};

std::optional<unsigned long> cardinalProperty(Display *display, Window window, const char *name)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char *raw = nullptr;
    if (XGetWindowProperty(display, window, XInternAtom(display, name, False), 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &remaining, &raw)
        != Success)
        return std::nullopt;
    std::unique_ptr<unsigned char, XFreer> data(raw);
    if (type != XA_CARDINAL || format != 32 || count != 1)
        return std::nullopt;
    return *reinterpret_cast<unsigned long *>(data.get());
}

QString windowName(Display *display, Window window)
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char *raw = nullptr;
    if (XGetWindowProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False), 0, 1024, False,
                           XInternAtom(display, "UTF8_STRING", False), &type, &format, &count, &remaining, &raw)
        != Success)
        return {};
    std::unique_ptr<unsigned char, XFreer> data(raw);
    return format == 8 ? QString::fromUtf8(reinterpret_cast<const char *>(data.get()), static_cast<qsizetype>(count))
                       : QString();
}

// The mapped top-level window of the process, if it has one yet.
std::optional<Window> windowOf(Display *display, pid_t pid)
{
    Window root = 0, parent = 0;
    Window *raw = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &raw, &count))
        return std::nullopt;
    std::unique_ptr<Window, XFreer> children(raw);
    for (unsigned int i = 0; i < count; ++i) {
        const Window window = children.get()[i];
        XWindowAttributes attributes;
        if (cardinalProperty(display, window, "_NET_WM_PID") == static_cast<unsigned long>(pid)
            && XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable)
            return window;
    }
    return std::nullopt;
}

// What a window manager sends when the user clicks the close box.
void requestClose(Display *display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

bool allGone(const std::set<pid_t> &processes)
{
    for (const pid_t pid : processes)
        if (isAlive(pid))
            return false;
    return true;
}

} // namespace

class WebsiteWindowCloseTest : public QObject {
    Q_OBJECT

private slots:
    void closingTheWindowEndsTheHelper()
    {
        const DisplayHandle display(XOpenDisplay(nullptr));
        QVERIFY(display);
        XSetErrorHandler(ignoreXErrors);
        WebsiteLauncher launcher(QStringLiteral(VANTREL_WEBSITE_HELPER));
        launcher.show();
        const auto pid = static_cast<pid_t>(launcher.helperProcessId());
        std::optional<Window> window;
        QTRY_VERIFY_WITH_TIMEOUT((window = windowOf(display.get(), pid)).has_value(), 30000);

        // Out of the box the window opens the home page shipped with it.
        const QString expected = *vantrel::website_config::websiteAddress
                                     ? QStringLiteral("Morvask Website - ")
                                     : QStringLiteral(u"Morvask Website - Morvak\u2122 Homepage Coming Soon...");
        QTRY_VERIFY_WITH_TIMEOUT(windowName(display.get(), *window).startsWith(expected), 30000);

        auto family = descendantsOf(pid);
        family.insert(pid);
        requestClose(display.get(), *window);
        QTRY_VERIFY_WITH_TIMEOUT(!launcher.isRunning(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(allGone(family), 10000);

        // The next show opens a new window.
        launcher.show();
        QTRY_VERIFY_WITH_TIMEOUT(windowOf(display.get(), static_cast<pid_t>(launcher.helperProcessId())).has_value(),
                                 30000);
    }
};

QTEST_GUILESS_MAIN(WebsiteWindowCloseTest)

#include "website_window_close_test.moc"
