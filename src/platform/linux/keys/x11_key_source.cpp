#include "platform/linux/keys/x11_key_source.h"

#include "platform/linux/keys/x_display.h"
#include "platform/linux/keys/xlib_connection_loss.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XInput2.h>
#include <X11/keysym.h>

#include <array>

namespace vantrel::platform::linux_backend {

namespace {

std::optional<FunctionKey> functionKeyFor(KeySym keysym)
{
    if (keysym < XK_F6 || keysym > XK_F12)
        return std::nullopt;
    return kFunctionKeys[keysym - XK_F6];
}

// The data of an XInput2 event, fetched for as long as it is handled.
class EventData {
public:
    EventData(Display *display, XGenericEventCookie &cookie)
        : display_(display), cookie_(cookie), fetched_(XGetEventData(display, &cookie))
    {
    }
    ~EventData()
    {
        if (fetched_)
            XFreeEventData(display_, &cookie_);
    }
    EventData(const EventData &) = delete;
    EventData &operator=(const EventData &) = delete;

    explicit operator bool() const { return fetched_; }

private:
    Display *display_;
    XGenericEventCookie &cookie_;
    bool fetched_;
};

} // namespace

void X11KeySource::CloseDisplay::operator()(Display *display) const
{
    XCloseDisplay(display);
    forgetConnection(display);
}

X11KeySource::X11KeySource() = default;
X11KeySource::~X11KeySource() = default;

bool X11KeySource::start(std::string *error)
{
    if (display_)
        return !lost_;
    lost_ = false;
    display_.reset(XOpenDisplay(nullptr));
    if (!display_) {
        *error = displayOpenFailure();
        return false;
    }
    // A lost server must end neither the program (Xlib's default is exit())
    // nor leave us retrying: the source just dies.
    surviveConnectionLoss(display_.get(), &X11KeySource::onConnectionLost, this);

    int event = 0;
    int errorBase = 0;
    if (!XQueryExtension(display_.get(), "XInputExtension", &xinputOpcode_, &event, &errorBase)) {
        display_.reset();
        *error = "the X server has no XInput extension";
        return false;
    }
    int major = 2;
    int minor = 2;
    if (XIQueryVersion(display_.get(), &major, &minor) != Success) {
        display_.reset();
        *error = "the X server does not offer XInput 2";
        return false;
    }
    watchKeyboardMapping();
    refreshKeycodes();
    if (!selectRawKeyEvents()) {
        display_.reset();
        *error = "lost the X display while starting";
        return false;
    }
    return true;
}

bool X11KeySource::selectRawKeyEvents()
{
    std::array<unsigned char, XIMaskLen(XI_LASTEVENT)> bits{};
    XISetMask(bits.data(), XI_RawKeyPress);
    XISetMask(bits.data(), XI_RawKeyRelease);
    // A keyboard with another layout taking over the master device.
    XISetMask(bits.data(), XI_DeviceChanged);
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(bits.size()), bits.data()};
    for (int screen = 0; screen < ScreenCount(display_.get()); ++screen)
        XISelectEvents(display_.get(), RootWindow(display_.get(), screen), &mask, 1);
    // Once the server has seen the selection, every later key press reaches us.
    XSync(display_.get(), False);
    return !lost_;
}

void X11KeySource::watchKeyboardMapping()
{
    // Xlib has already announced XKB on this connection; an XKB client gets
    // no core MappingNotify unless it asks for the XKB notifications.
    int opcode = 0;
    int errorBase = 0;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    if (!XkbQueryExtension(display_.get(), &opcode, &xkbEventBase_, &errorBase, &major, &minor))
        return;
    XkbSelectEventDetails(display_.get(), XkbUseCoreKbd, XkbMapNotify, XkbKeySymsMask, XkbKeySymsMask);
    XkbSelectEventDetails(display_.get(), XkbUseCoreKbd, XkbNewKeyboardNotify, XkbAllNewKeyboardEventsMask,
                          XkbAllNewKeyboardEventsMask);
}

void X11KeySource::refreshKeycodes()
{
    keycodesStale_ = false;
    int minKeycode = 0;
    int maxKeycode = 0;
    XDisplayKeycodes(display_.get(), &minKeycode, &maxKeycode);
    int keysymsPerKeycode = 0;
    KeySym *keysyms = XGetKeyboardMapping(display_.get(), static_cast<KeyCode>(minKeycode), maxKeycode - minKeycode + 1,
                                          &keysymsPerKeycode);
    if (!keysyms)
        return;
    // Every keycode whose first level of the first group gives one of the
    // keys: a key that gives F8 only with Shift, or only in another layout,
    // types something else when pressed plainly. Modifiers held with a key
    // are not looked at.
    KeyPressTracker::KeycodeTable table{};
    for (int keycode = minKeycode; keycode <= maxKeycode && keysymsPerKeycode > 0; ++keycode)
        table[keycode] = functionKeyFor(keysyms[static_cast<std::ptrdiff_t>(keycode - minKeycode) * keysymsPerKeycode]);
    XFree(keysyms);
    tracker_.setKeycodes(table);
}

KeySourceWakeup X11KeySource::wakeup() const
{
    KeySourceWakeup wakeup;
    if (display_)
        wakeup.fd = ConnectionNumber(display_.get());
    return wakeup;
}

bool X11KeySource::collect()
{
    if (!display_)
        return false;
    // Reading the keycodes again is a round trip, which queues inside Xlib
    // whatever events came meanwhile: those are taken too, for nothing will
    // wake us for them.
    for (;;) {
        while (!lost_ && XPending(display_.get()) > 0) {
            XEvent event;
            XNextEvent(display_.get(), &event);
            handle(event);
        }
        if (!keycodesStale_ || lost_)
            return !lost_;
        refreshKeycodes();
    }
}

void X11KeySource::handle(XEvent &event)
{
    // One change of the mapping brings several notifications; the table is
    // read again once, before the next key is looked up.
    if (event.type == MappingNotify) {
        XRefreshKeyboardMapping(&event.xmapping);
        keycodesStale_ = keycodesStale_ || event.xmapping.request == MappingKeyboard;
        return;
    }
    if (xkbEventBase_ >= 0 && event.type == xkbEventBase_) {
        keycodesStale_ = true;
        return;
    }
    XGenericEventCookie &cookie = event.xcookie;
    if (cookie.type != GenericEvent || cookie.extension != xinputOpcode_)
        return;
    const EventData data(display_.get(), cookie);
    if (!data)
        return;
    if (keycodesStale_ && cookie.evtype == XI_RawKeyPress)
        refreshKeycodes();
    const auto *raw = static_cast<const XIRawEvent *>(cookie.data);
    switch (cookie.evtype) {
    case XI_RawKeyPress:
        tracker_.pressed(static_cast<unsigned>(raw->detail), raw->sourceid);
        break;
    case XI_RawKeyRelease:
        tracker_.released(static_cast<unsigned>(raw->detail), raw->sourceid);
        break;
    case XI_DeviceChanged:
        keycodesStale_ = true;
        break;
    default:
        break;
    }
}

KeyState X11KeySource::query(FunctionKey key) { return tracker_.query(key); }

void X11KeySource::onConnectionLost(Display *, void *self) { static_cast<X11KeySource *>(self)->lost_ = true; }

} // namespace vantrel::platform::linux_backend
