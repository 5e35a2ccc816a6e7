#pragma once

#include "windows/design/control_design.h"
#include "windows/design/window_view.h"
#include "windows/win32/accessible_names.h"
#include "windows/win32/logo_picture.h"

#include <cstdint>
#include <string>
#include <vector>

// This header stays free of <windows.h>, whose macros clash with the
// registry interface's names in the views that include both.
struct HWND__;
struct HFONT__;

namespace vantrel::win32_windows {

// The dialog item number of a designed control: its place in the design's
// list, from 100 on. A test of the window finds its controls by it.
int itemNumber(const design::WindowDesign &design, design::ControlId control);

// A window and its controls made with the Win32 API from a window's design:
// the system's own controls, laid out from the twips at the window's DPI and
// again whenever the DPI changes, each with its designed font and picture at
// that DPI, in the design's tab order, and named for screen readers. The
// window-view operations every window shares are here; each window adds
// what it handles.
class DesignedWindow {
public:
    explicit DesignedWindow(const design::WindowDesign &design);
    virtual ~DesignedWindow();
    DesignedWindow(const DesignedWindow &) = delete;
    DesignedWindow &operator=(const DesignedWindow &) = delete;

    // Makes the window, hidden, and its controls; their pictures and their
    // names for screen readers come as the window is first shown. owner: a
    // window that keeps this one out of the task bar, or null. False when
    // the system refused.
    bool create(HWND__ *owner);
    HWND__ *window() const { return window_; }
    HWND__ *control(design::ControlId id) const;
    const design::WindowDesign &design() const { return design_; }

    // Takes the window off the screen for good; the object stays.
    void destroy();

    // What every window's view does for its behaviour.
    void setCaption(std::u16string_view caption);
    void setText(design::ControlId control, std::u16string_view text);
    void setTip(design::ControlId control, std::u16string_view text);
    void enable(design::ControlId control, bool enabled);
    void focus(design::ControlId control);
    design::MessageAnswer showMessage(const design::Message &message);
    // Moves and sizes a control, in twips within its container; what it
    // holds moves along.
    void place(design::ControlId control, design::TwipsRect rect);
    // The client area, in twips at the window's DPI.
    design::TwipsSize clientArea() const { return clientArea_; }

    // What the window's message loop asks of every designed window: Tab,
    // Enter, Escape and Alt+letter as in a dialog. True when it took the message.
    static bool takeDialogMessage(void *message);

protected:
    // A control's event: a click of a button or label, the focus coming to
    // a text box.
    virtual void onClick(design::ControlId control) { static_cast<void>(control); }
    virtual void onFocus(design::ControlId control) { static_cast<void>(control); }
    // The selection of a list box changed, by mouse or keyboard.
    virtual void onSelect(design::ControlId control) { static_cast<void>(control); }
    // A mouse button going down over a list box.
    virtual void onMouseDown(design::ControlId control, design::MouseButton button)
    {
        static_cast<void>(control);
        static_cast<void>(button);
    }
    // A key going down while a button has the focus.
    virtual void onButtonKey(design::ControlId control, int keyCode)
    {
        static_cast<void>(control);
        static_cast<void>(keyCode);
    }
    // Enter with no button focused, and Escape.
    virtual void onDefault();
    virtual void onEscape() {}
    // The title bar's close box or Alt+F4; true when the window dealt with it.
    virtual bool onClose() { return false; }
    // The client area has a new size.
    virtual void onResized() {}
    // Any message before the window's own handling; true, with the result,
    // when the window dealt with it.
    virtual bool onMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam, std::intptr_t *result)
    {
        static_cast<void>(message);
        static_cast<void>(wParam);
        static_cast<void>(lParam);
        static_cast<void>(result);
        return false;
    }

private:
    friend struct DesignedWindowProcedure;

    void makeControls();
    void layOut(unsigned dpi);
    void placeControls();
    void drawPicture(std::size_t index, const void *drawItem) const;
    void makePictures();
    void prepareForTheScreen();
    HFONT__ *fontFor(const design::Font &font, unsigned dpi);
    void dropFonts();

    const design::WindowDesign &design_;
    HWND__ *window_ = nullptr;
    HWND__ *tips_ = nullptr;
    std::vector<HWND__ *> controls_;
    struct MadeFont {
        design::Font font;
        HFONT__ *handle;
    };
    std::vector<MadeFont> fonts_;
    unsigned dpi_ = 96;
    std::vector<std::wstring> tipTexts_;
    // Where each control is, in twips: the design's, or the last place().
    std::vector<design::TwipsRect> rects_;
    design::TwipsSize clientArea_;
    // The picture each image shows, at its size in pixels; none for others.
    std::vector<Bitmap> pictures_;
    AccessibleNames names_;
    // Shown at least once: pictures and names are made from then on.
    bool shown_ = false;
};

// A designed window as the view its behaviour talks to (View derives from
// design::WindowView): the shared operations handed to the window.
template <typename View>
class DesignedView : public DesignedWindow, public View {
public:
    using DesignedWindow::DesignedWindow;

    void setCaption(std::u16string_view caption) override { DesignedWindow::setCaption(caption); }
    void setText(design::ControlId control, std::u16string_view text) override
    {
        DesignedWindow::setText(control, text);
    }
    void setTip(design::ControlId control, std::u16string_view text) override { DesignedWindow::setTip(control, text); }
    void enable(design::ControlId control, bool enabled) override { DesignedWindow::enable(control, enabled); }
    void focus(design::ControlId control) override { DesignedWindow::focus(control); }
    design::MessageAnswer showMessage(const design::Message &message) override
    {
        return DesignedWindow::showMessage(message);
    }
};

} // namespace vantrel::win32_windows
