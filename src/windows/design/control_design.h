#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

// How a window looks as designed, in the units and terms of the design and of
// no toolkit: each toolkit's view builds its controls from this, with one
// step from twips to its own units and one from the design fonts to its own.
namespace vantrel::design {

// A twip is 1/1440 inch; 15 make one pixel at 96 dots per inch.
inline constexpr int kTwipsPerPixel = 15;

struct TwipsSize {
    int width = 0;
    int height = 0;
    friend constexpr bool operator==(const TwipsSize &, const TwipsSize &) = default;
};

// Left and top count from the client area of the window, from the top left of
// the frame that holds the control, or from inside the border of the picture
// box that holds it.
struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend constexpr bool operator==(const TwipsRect &, const TwipsRect &) = default;
};

struct Font {
    std::string_view face{};
    double points = 8.25;
    bool bold = false;
    bool underline = false;
    friend constexpr bool operator==(const Font &, const Font &) = default;
};

// A control by its design name, with its index where it belongs to a control
// array ("Key" 0 to 6); index -1 for a control of its own.
struct ControlId {
    std::string_view name{};
    int index = -1;
    friend constexpr bool operator==(const ControlId &, const ControlId &) = default;
};

enum class ControlKind {
    PushButton,
    TextBox,
    Label,
    ListBox,    // single selection, lines in the order they were added
    Frame,      // a captioned group box
    PictureBox, // a panel that holds controls
    Image,      // a picture, or a transparent patch that takes clicks
    WebBrowser,
};

enum class Alignment { Left, Centre };
enum class Border { None, Single, Sunken };

struct Colour {
    int red = 0;
    int green = 0;
    int blue = 0;
    friend constexpr bool operator==(const Colour &, const Colour &) = default;
};

// What the product's designs take from this program's artwork.
enum class Picture { None, Logo };

struct ControlDesign {
    ControlId id{};
    ControlKind kind = ControlKind::Label;
    std::u16string_view caption{};
    // The frame or panel that holds the control; none for the window itself.
    std::optional<ControlId> container{};
    TwipsRect rect;
    // None: the window's font, whatever holds the control.
    std::optional<Font> font{};
    // None: the control takes no place in the tab order.
    std::optional<int> tabIndex{};

    bool isDefault = false; // the button Enter presses while no button has the focus
    bool enabled = true;
    bool takesFocus = true; // false for labels, images, disabled blanks
    Alignment alignment = Alignment::Left;
    bool wordWrap = false;
    bool sizedToText = false; // keeps its place and takes the size of its text
    Border border = Border::None;
    bool transparent = false;  // shows what lies behind it
    bool opaque = false;       // hides what lies behind it
    bool readOnly = false;     // a text box only the program fills
    bool showsTextEnd = false; // a text too long for the control shows its end
    bool stretchesPicture = false;
    Picture picture = Picture::None;
    std::optional<Colour> textColour{};

    // What assistive technology announces, where the caption does not say it
    // or says too little; empty: the caption.
    std::u16string_view accessibleName{};
    // The label whose caption names this control.
    std::optional<ControlId> labelledBy{};
};

enum class WindowFrame {
    FixedDialog,    // fixed size, the caption alone in the title bar, no task-bar button
    FixedWithMenu,  // the same with a window menu, which offers no Close command
    SizableTaskBar, // sizable, a close box but no minimize or maximize box, in the task bar
};

struct WindowDesign {
    std::string_view name{};
    std::u16string_view caption{};
    TwipsSize clientSize{};
    Font font{};
    WindowFrame frame = WindowFrame::FixedDialog;
    // The program's icon in the title bar (the tray icon's picture); none
    // otherwise.
    bool carriesProgramIcon = false;
    // In the order of their creation: where controls of one container
    // overlap, a later one lies in front of an earlier one.
    std::span<const ControlDesign> controls{};

    // The control of that name; terminates the program on a name the design
    // does not have, which is a programming error.
    const ControlDesign &control(ControlId id) const;
    // The font the control is drawn with.
    Font fontOf(const ControlDesign &control) const { return control.font.value_or(font); }
};

// The caption without its access-key marks ("&OK" is "OK"; "&&" is "&").
std::u16string withoutAccessKeys(std::u16string_view caption);

} // namespace vantrel::design
