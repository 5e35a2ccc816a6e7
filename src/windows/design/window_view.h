#pragma once

#include "windows/design/control_design.h"

#include <string>
#include <string_view>

// What a window's behaviour asks of the window on screen, whatever toolkit
// draws it. Each window's view adds what only that window does.
namespace vantrel::design {

enum class MessageButtons { Ok, YesNo };
// None: the box went away unanswered (its window was destroyed meanwhile).
enum class MessageAnswer { None, Ok, Yes, No };

// A modal message box without an icon. Every box is wide enough to show its
// title whole, and Escape answers No on a Yes/No box.
struct Message {
    std::u16string text;
    std::u16string_view title;
    MessageButtons buttons = MessageButtons::Ok;
};

// The mouse buttons as the windows' handlers number them.
enum class MouseButton { Left = 1, Right = 2, Middle = 4 };

class WindowView {
public:
    virtual ~WindowView() = default;

    virtual void setCaption(std::u16string_view caption) = 0;
    // The text of a label, button or text box. A control sized to its text
    // takes the size of the new text.
    virtual void setText(ControlId control, std::u16string_view text) = 0;
    virtual void setTip(ControlId control, std::u16string_view text) = 0;
    virtual void enable(ControlId control, bool enabled) = 0;
    virtual void focus(ControlId control) = 0;
    virtual MessageAnswer showMessage(const Message &message) = 0;
};

} // namespace vantrel::design
