#pragma once

#include "platform/key_source.h"
#include "platform/linux/keys/key_press_tracker.h"

#include <memory>

struct _XDisplay;
union _XEvent;

namespace vantrel::platform::linux_backend {

// F6 to F12 watched through XInput2 raw key events on a connection of its
// own. Raw events are only observed: nothing is grabbed, and whatever program
// has the focus still receives the keys.
class X11KeySource final : public KeySource {
public:
    X11KeySource();
    ~X11KeySource() override;

    X11KeySource(const X11KeySource &) = delete;
    X11KeySource &operator=(const X11KeySource &) = delete;

    bool start(std::string *error) override;
    KeySourceWakeup wakeup() const override;
    bool collect() override;
    KeyState query(FunctionKey key) override;

private:
    struct CloseDisplay {
        void operator()(_XDisplay *display) const;
    };

    static void onConnectionLost(_XDisplay *display, void *self);
    void watchKeyboardMapping();
    bool selectRawKeyEvents();
    void refreshKeycodes();
    void handle(_XEvent &event);

    // Declared before the display so that it outlives it: closing a broken
    // connection may still report the loss.
    bool lost_ = false;
    int xinputOpcode_ = 0;
    int xkbEventBase_ = -1;
    bool keycodesStale_ = false;
    KeyPressTracker tracker_;
    std::unique_ptr<_XDisplay, CloseDisplay> display_;
};

} // namespace vantrel::platform::linux_backend
