#include "x_client.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <stdexcept>

namespace vantrel::test {

namespace {

// The property's items, as an Xlib buffer freed on leaving.
struct Property {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned char *data = nullptr;

    Property(Display *display, Window window, Atom name)
    {
        unsigned long after = 0;
        if (XGetWindowProperty(display, window, name, 0, 1024, False, AnyPropertyType, &type, &format, &count, &after,
                               &data) != Success)
            data = nullptr;
    }
    ~Property()
    {
        if (data)
            XFree(data);
    }
    Property(const Property &) = delete;
    Property &operator=(const Property &) = delete;

    bool present() const { return data && type != None; }
};

// Windows may vanish while a test looks at them; that is no error here.
int ignoreErrors(Display *, XErrorEvent *) { return 0; }

} // namespace

bool WindowInfo::hasType(const std::string &type) const
{
    return std::find(types.begin(), types.end(), type) != types.end();
}

XClient::XClient() : display_(XOpenDisplay(nullptr))
{
    if (!display_)
        throw std::runtime_error("cannot open the X display");
    XSetErrorHandler(ignoreErrors);
}

XClient::~XClient() { XCloseDisplay(display_); }

std::string XClient::atomName(unsigned long atom)
{
    char *name = XGetAtomName(display_, atom);
    if (!name)
        return {};
    std::string text(name);
    XFree(name);
    return text;
}

std::vector<WindowInfo> XClient::windowsOf(pid_t pid)
{
    std::vector<WindowInfo> found;
    collect(DefaultRootWindow(display_), pid, found);
    return found;
}

void XClient::collect(XWindowId window, pid_t pid, std::vector<WindowInfo> &found)
{
    Property owner(display_, window, XInternAtom(display_, "_NET_WM_PID", False));
    if (owner.present() && owner.format == 32 && owner.count == 1 &&
        static_cast<pid_t>(reinterpret_cast<unsigned long *>(owner.data)[0]) == pid) {
        WindowInfo info;
        info.id = window;
        Property netName(display_, window, XInternAtom(display_, "_NET_WM_NAME", False));
        Property plainName(display_, window, XA_WM_NAME);
        const Property &name = netName.present() && netName.count > 0 ? netName : plainName;
        if (name.present() && name.format == 8)
            info.name.assign(reinterpret_cast<char *>(name.data), name.count);
        Property types(display_, window, XInternAtom(display_, "_NET_WM_WINDOW_TYPE", False));
        if (types.present() && types.format == 32)
            for (unsigned long i = 0; i < types.count; ++i)
                info.types.push_back(atomName(reinterpret_cast<Atom *>(types.data)[i]));
        info.xembed = Property(display_, window, XInternAtom(display_, "_XEMBED_INFO", False)).present();
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display_, window, &attributes)) {
            info.viewable = attributes.map_state == IsViewable;
            info.overrideRedirect = attributes.override_redirect;
            info.width = attributes.width;
            info.height = attributes.height;
            Window child = 0;
            XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &info.x, &info.y, &child);
        }
        found.push_back(info);
    }

    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display_, window, &root, &parent, &children, &count))
        return;
    if (!found.empty() && found.back().id == window)
        found.back().embedded = parent != root;
    for (unsigned i = 0; i < count; ++i)
        collect(children[i], pid, found);
    if (children)
        XFree(children);
}

XWindowId XClient::trayManager()
{
    return XGetSelectionOwner(display_, XInternAtom(display_, "_NET_SYSTEM_TRAY_S0", False));
}

void XClient::requestClose(XWindowId window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display_, window, False, NoEventMask, &event);
    XFlush(display_);
}

void XClient::movePointer(int x, int y)
{
    XTestFakeMotionEvent(display_, 0, x, y, CurrentTime);
    XFlush(display_);
}

std::optional<XClient::Place> XClient::placeOf(XWindowId window)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display_, window, &attributes) || attributes.map_state != IsViewable)
        return std::nullopt;
    Place place{0, 0, attributes.width, attributes.height};
    Window child = 0;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &place.x, &place.y, &child);
    return place;
}

std::optional<PointerPosition> XClient::pointAt(XWindowId window)
{
    const auto place = placeOf(window);
    if (!place || place->width < 2)
        return std::nullopt;
    const PointerPosition middle{place->x + place->width / 2, place->y + place->height / 2};
    // From beside the middle, so that the window sees a motion even when the
    // pointer was there already.
    movePointer(middle.x - 1, middle.y);
    movePointer(middle.x, middle.y);
    return middle;
}

bool XClient::hasMiddleAt(XWindowId window, PointerPosition position)
{
    const auto place = placeOf(window);
    return place && place->x + place->width / 2 == position.x && place->y + place->height / 2 == position.y;
}

std::optional<PointerPosition> XClient::pointAtUntilItStays(XWindowId window, std::chrono::milliseconds timeout)
{
    std::optional<PointerPosition> pointer;
    const bool stays = waitUntil(
        [&] {
            pointer = pointAt(window);
            return pointer && hasMiddleAt(window, *pointer);
        },
        timeout);
    return stays ? pointer : std::nullopt;
}

void XClient::click(unsigned button)
{
    XTestFakeButtonEvent(display_, button, True, CurrentTime);
    XTestFakeButtonEvent(display_, button, False, CurrentTime);
    XFlush(display_);
}

void XClient::typeKey(const char *keysymName)
{
    const KeyCode code = XKeysymToKeycode(display_, XStringToKeysym(keysymName));
    XTestFakeKeyEvent(display_, code, True, CurrentTime);
    XTestFakeKeyEvent(display_, code, False, CurrentTime);
    XFlush(display_);
}

bool XClient::chooseInTrayMenu(pid_t program, const char *keysymName)
{
    const auto awaitWindow = [&](const std::function<bool(const WindowInfo &)> &fits) {
        std::optional<WindowInfo> found;
        waitUntil([&] {
            for (const auto &window : windowsOf(program))
                if (fits(window))
                    found = window;
            return found.has_value();
        });
        return found;
    };
    const auto icon =
        awaitWindow([](const WindowInfo &window) { return window.xembed && window.embedded && window.viewable; });
    if (!icon)
        return false;
    if (!pointAtUntilItStays(icon->id))
        return false;
    click(3);
    const auto menu = awaitWindow([](const WindowInfo &window) {
        return window.overrideRedirect && window.viewable && !window.embedded &&
               !window.hasType("_NET_WM_WINDOW_TYPE_TOOLTIP");
    });
    if (!menu)
        return false;
    typeKey(keysymName);
    return true;
}

} // namespace vantrel::test
