#include "windows/win32/designed_window.h"

#include "platform/diagnostic.h"
#include "windows/win32/message_box.h"

// After every header that sees the registry interface: see designed_window.h.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cmath>

namespace vantrel::win32_windows {

using design::ControlDesign;
using design::ControlId;
using design::ControlKind;

namespace {

constexpr wchar_t kWindowClass[] = L"Morvask.Vantrel.Window";
constexpr int kFirstItem = 100;
constexpr UINT_PTR kSubclass = 1;

std::wstring wide(std::u16string_view text) { return {text.begin(), text.end()}; }

int pixels(int twips, unsigned dpi) { return MulDiv(twips, static_cast<int>(dpi), 1440); }

DWORD windowStyle(design::WindowFrame frame)
{
    switch (frame) {
    case design::WindowFrame::FixedDialog:
        return WS_POPUP | WS_CAPTION;
    case design::WindowFrame::FixedWithMenu:
        return WS_POPUP | WS_CAPTION | WS_SYSMENU;
    case design::WindowFrame::SizableTaskBar:
        return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    }
    return WS_POPUP | WS_CAPTION;
}

DWORD windowExStyle(design::WindowFrame frame)
{
    const DWORD common = WS_EX_CONTROLPARENT;
    return frame == design::WindowFrame::SizableTaskBar ? common | WS_EX_APPWINDOW : common | WS_EX_DLGMODALFRAME;
}

struct ClassAndStyle {
    const wchar_t *className;
    DWORD style;
    DWORD exStyle;
};

ClassAndStyle classAndStyle(const ControlDesign &control)
{
    // Each control keeps to its own place: one behind another (a panel
    // behind its labels) never draws over it.
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    DWORD exStyle = 0;
    // A text box only the program fills is left out of the Tab chain: the
    // focus reaches it only by a click.
    if (control.takesFocus && control.tabIndex && !control.readOnly)
        style |= WS_TABSTOP;
    if (!control.enabled)
        style |= WS_DISABLED;
    if (control.border == design::Border::Single)
        style |= WS_BORDER;
    if (control.border == design::Border::Sunken)
        exStyle |= WS_EX_CLIENTEDGE;
    switch (control.kind) {
    case ControlKind::PushButton:
        return {L"BUTTON", style | (control.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), exStyle};
    case ControlKind::TextBox:
        return {L"EDIT", style | ES_AUTOHSCROLL | (control.readOnly ? ES_READONLY : 0), exStyle | WS_EX_CLIENTEDGE};
    case ControlKind::Label: {
        const DWORD alignment = control.alignment == design::Alignment::Centre ? SS_CENTER
                                : control.wordWrap                             ? SS_LEFT
                                                                               : SS_LEFTNOWORDWRAP;
        return {L"STATIC", style | alignment | SS_NOTIFY | (control.showsTextEnd ? SS_PATHELLIPSIS : 0), exStyle};
    }
    case ControlKind::ListBox:
        return {L"LISTBOX", style | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL, exStyle | WS_EX_CLIENTEDGE};
    case ControlKind::Frame:
        return {L"BUTTON", style | BS_GROUPBOX, exStyle};
    case ControlKind::PictureBox:
        return {L"STATIC", style | SS_NOTIFY, exStyle};
    case ControlKind::Image:
        // The window draws the picture itself, at its DPI.
        if (control.picture != design::Picture::None)
            return {L"STATIC", style | SS_OWNERDRAW | SS_NOTIFY, exStyle};
        return {L"STATIC", style | SS_NOTIFY, exStyle | (control.transparent ? WS_EX_TRANSPARENT : 0)};
    case ControlKind::WebBrowser:
        return {L"STATIC", style | SS_NOTIFY, exStyle | (control.transparent ? WS_EX_TRANSPARENT : 0)};
    }
    return {L"STATIC", style, exStyle};
}

// A window's DPI, or the system's before the window exists.
unsigned dpiOf(HWND window)
{
    const UINT dpi = window ? GetDpiForWindow(window) : 0;
    return dpi ? dpi : 96;
}

} // namespace

// A transparent image without a picture: a patch that takes clicks.
static bool isClickPatch(const ControlDesign &control)
{
    return control.kind == ControlKind::Image && control.transparent && control.picture == design::Picture::None;
}

int itemNumber(const design::WindowDesign &design, ControlId control)
{
    const auto found = std::find_if(design.controls.begin(), design.controls.end(),
                                    [&](const ControlDesign &candidate) { return candidate.id == control; });
    return kFirstItem + static_cast<int>(found - design.controls.begin());
}

struct DesignedWindowProcedure {
    static DesignedWindow *of(HWND window)
    {
        return reinterpret_cast<DesignedWindow *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            const auto *creation = reinterpret_cast<const CREATESTRUCTW *>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
            static_cast<DesignedWindow *>(creation->lpCreateParams)->window_ = window;
        }
        DesignedWindow *designed = of(window);
        if (!designed)
            return DefWindowProcW(window, message, wParam, lParam);
        return handle(*designed, window, message, wParam, lParam);
    }

    static const ControlDesign *controlOf(const DesignedWindow &designed, int item)
    {
        const int index = item - kFirstItem;
        if (index < 0 || index >= static_cast<int>(designed.design_.controls.size()))
            return nullptr;
        return &designed.design_.controls[static_cast<std::size_t>(index)];
    }

    // A transparent image in front of a panel's controls takes their clicks
    // (the system draws no control in front of others without hiding them,
    // so it is no window of its own).
    static ControlId clickTarget(const DesignedWindow &designed, const ControlDesign &clicked)
    {
        const ControlId panel =
            clicked.kind == ControlKind::PictureBox ? clicked.id : clicked.container.value_or(ControlId{});
        for (const ControlDesign &control : designed.design_.controls)
            if (isClickPatch(control) && control.container == panel)
                return control.id;
        return clicked.id;
    }

    static void command(DesignedWindow &designed, int item, int code)
    {
        if (item == IDCANCEL) {
            designed.onEscape();
            return;
        }
        if (item == IDOK) {
            designed.onDefault();
            return;
        }
        const ControlDesign *control = controlOf(designed, item);
        if (!control)
            return;
        switch (control->kind) {
        case ControlKind::PushButton:
            if (code == BN_CLICKED)
                designed.onClick(control->id);
            break;
        case ControlKind::TextBox:
            if (code == EN_SETFOCUS)
                designed.onFocus(control->id);
            break;
        case ControlKind::ListBox:
            if (code == LBN_SELCHANGE)
                designed.onSelect(control->id);
            break;
        case ControlKind::Label:
        case ControlKind::Image:
        case ControlKind::PictureBox:
            if (code == STN_CLICKED)
                designed.onClick(clickTarget(designed, *control));
            break;
        default:
            break;
        }
    }

    // What the parent is not told of: keys on a button, the mouse on a list.
    static LRESULT CALLBACK subclassed(HWND made, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data)
    {
        auto &designed = *reinterpret_cast<DesignedWindow *>(data);
        const ControlDesign *control = controlOf(designed, GetDlgCtrlID(made));
        if (control && control->kind == ControlKind::PushButton && message == WM_KEYDOWN)
            designed.onButtonKey(control->id, static_cast<int>(wParam));
        if (control && control->kind == ControlKind::ListBox) {
            if (message == WM_LBUTTONDOWN)
                designed.onMouseDown(control->id, design::MouseButton::Left);
            else if (message == WM_RBUTTONDOWN)
                designed.onMouseDown(control->id, design::MouseButton::Right);
            else if (message == WM_MBUTTONDOWN)
                designed.onMouseDown(control->id, design::MouseButton::Middle);
        }
        return DefSubclassProc(made, message, wParam, lParam);
    }

    static LRESULT handle(DesignedWindow &designed, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        std::intptr_t result = 0;
        if (designed.onMessage(message, wParam, lParam, &result))
            return result;
        switch (message) {
        case WM_SIZE:
            // The window is made at no size at all, before its layout.
            if (wParam != SIZE_MINIMIZED && !designed.controls_.empty()) {
                designed.clientArea_ = {MulDiv(LOWORD(lParam), 1440, static_cast<int>(designed.dpi_)),
                                        MulDiv(HIWORD(lParam), 1440, static_cast<int>(designed.dpi_))};
                designed.onResized();
            }
            return 0;
        case WM_COMMAND:
            command(designed, LOWORD(wParam), HIWORD(wParam));
            return 0;
        case DM_GETDEFID:
            for (const ControlDesign &control : designed.design_.controls)
                if (control.isDefault)
                    return MAKELRESULT(itemNumber(designed.design_, control.id), DC_HASDEFID);
            return 0;
        case WM_CTLCOLORSTATIC: {
            const auto dc = reinterpret_cast<HDC>(wParam);
            const ControlDesign *control = controlOf(designed, GetDlgCtrlID(reinterpret_cast<HWND>(lParam)));
            if (control && control->textColour)
                SetTextColor(dc, RGB(control->textColour->red, control->textColour->green, control->textColour->blue));
            if (control && control->transparent) {
                SetBkMode(dc, TRANSPARENT);
                return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
            }
            SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        case WM_DRAWITEM: {
            const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
            const int index = static_cast<int>(wParam) - kFirstItem;
            if (item->CtlType != ODT_STATIC || index < 0 || index >= static_cast<int>(designed.pictures_.size()))
                break;
            designed.drawPicture(static_cast<std::size_t>(index), item);
            return TRUE;
        }
        case WM_DPICHANGED: {
            designed.layOut(HIWORD(wParam));
            const auto *suggested = reinterpret_cast<const RECT *>(lParam);
            SetWindowPos(window, nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return 0;
        }
        case WM_SHOWWINDOW:
            // Sent before the window is drawn or can take the focus.
            if (wParam)
                designed.prepareForTheScreen();
            break;
        case WM_CLOSE:
            if (designed.onClose())
                return 0;
            break;
        case WM_DESTROY:
            // While the controls are still there.
            designed.names_.clear();
            designed.window_ = nullptr;
            break;
        default:
            break;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
};

DesignedWindow::DesignedWindow(const design::WindowDesign &design)
    : design_(design), rects_(design.controls.size()), clientArea_(design.clientSize), pictures_(design.controls.size())
{
    for (std::size_t i = 0; i < design.controls.size(); ++i)
        rects_[i] = design.controls[i].rect;
}

DesignedWindow::~DesignedWindow()
{
    if (window_)
        DestroyWindow(window_);
    dropFonts();
}

bool DesignedWindow::create(HWND__ *owner)
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DesignedWindowProcedure::procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;
    const std::wstring caption = wide(design_.caption);
    if (!CreateWindowExW(windowExStyle(design_.frame), kWindowClass, caption.c_str(), windowStyle(design_.frame),
                         CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, owner, nullptr, instance, this))
        return false;
    tips_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance, nullptr);
    makeControls();
    layOut(dpiOf(window_));
    return true;
}

// What only a window on the screen needs waits for its first showing: a
// window kept hidden for the whole run holds no scaled pictures, and the
// program loads no accessibility library until a window is seen.
void DesignedWindow::prepareForTheScreen()
{
    if (shown_)
        return;
    shown_ = true;
    makePictures();
    // Reported once: where the system keeps no names (Wine), every window
    // would say the same.
    static bool reported = false;
    if (!names_.give(design_, controls_) && !reported) {
        printDiagnostic("vantrel: screen readers get the controls' captions alone: the system took no names");
        reported = true;
    }
}

void DesignedWindow::makeControls()
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    tipTexts_.assign(design_.controls.size(), {});
    for (const ControlDesign &control : design_.controls) {
        if (isClickPatch(control)) {
            controls_.push_back(nullptr);
            continue;
        }
        const auto [className, style, exStyle] = classAndStyle(control);
        const std::wstring caption = wide(control.caption);
        const int item = itemNumber(design_, control.id);
        HWND made = CreateWindowExW(exStyle, className, caption.c_str(), style, 0, 0, 0, 0, window_,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(item)), instance, nullptr);
        controls_.push_back(made);
        if (made && (control.kind == ControlKind::PushButton || control.kind == ControlKind::ListBox))
            SetWindowSubclass(made, DesignedWindowProcedure::subclassed, kSubclass, reinterpret_cast<DWORD_PTR>(this));
        if (made && tips_) {
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
            tool.hwnd = window_;
            tool.uId = reinterpret_cast<UINT_PTR>(made);
            tool.lpszText = const_cast<wchar_t *>(L"");
            SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }

    // Front to back: the controls that take the focus, in their tab order
    // (a dialog tabs through its controls in this order), each directly
    // after the label that names it (screen readers name a control after the
    // label just before it); then the others, the later designed in front
    // of the earlier.
    const auto takesTab = [](const ControlDesign &control) { return control.takesFocus && control.tabIndex; };
    std::vector<std::size_t> tabbed;
    for (std::size_t i = 0; i < design_.controls.size(); ++i)
        if (takesTab(design_.controls[i]))
            tabbed.push_back(i);
    std::stable_sort(tabbed.begin(), tabbed.end(), [&](std::size_t a, std::size_t b) {
        return *design_.controls[a].tabIndex < *design_.controls[b].tabIndex;
    });
    std::vector<std::size_t> order;
    std::vector<bool> placed(design_.controls.size(), false);
    for (const std::size_t i : tabbed) {
        if (const auto &label = design_.controls[i].labelledBy) {
            const auto labelIndex = static_cast<std::size_t>(itemNumber(design_, *label) - kFirstItem);
            order.push_back(labelIndex);
            placed[labelIndex] = true;
        }
        order.push_back(i);
        placed[i] = true;
    }
    for (std::size_t i = design_.controls.size(); i-- > 0;)
        if (!placed[i])
            order.push_back(i);
    HWND previous = HWND_TOP;
    for (const std::size_t i : order) {
        if (!controls_[i])
            continue;
        SetWindowPos(controls_[i], previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = controls_[i];
    }
}

HFONT__ *DesignedWindow::fontFor(const design::Font &font, unsigned dpi)
{
    for (const MadeFont &made : fonts_)
        if (made.font == font)
            return made.handle;
    const std::wstring face(font.face.begin(), font.face.end());
    const int height = -static_cast<int>(std::lround(font.points * dpi / 72.0));
    HFONT handle = CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE, font.underline, FALSE,
                               DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, face.c_str());
    fonts_.push_back({font, handle});
    return handle;
}

void DesignedWindow::dropFonts()
{
    for (const MadeFont &made : fonts_)
        DeleteObject(made.handle);
    fonts_.clear();
}

void DesignedWindow::layOut(unsigned dpi)
{
    const std::vector<MadeFont> previous = std::move(fonts_);
    fonts_.clear();
    dpi_ = dpi;

    // The client area keeps its size in twips.
    const design::TwipsSize area = clientArea_;
    RECT outer{0, 0, pixels(area.width, dpi), pixels(area.height, dpi)};
    AdjustWindowRectExForDpi(&outer, static_cast<DWORD>(GetWindowLongW(window_, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(GetWindowLongW(window_, GWL_EXSTYLE)), dpi);
    SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Where the system draws the frame at another DPI than it was asked for
    // (Wine does), the client area comes out different: made good here.
    RECT client{};
    GetClientRect(window_, &client);
    const int wrongWidth = client.right - pixels(area.width, dpi);
    const int wrongHeight = client.bottom - pixels(area.height, dpi);
    if (wrongWidth != 0 || wrongHeight != 0)
        SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left - wrongWidth,
                     outer.bottom - outer.top - wrongHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    // Counted back from pixels, the size may have lost a twip or two.
    clientArea_ = area;
    placeControls();
    onResized();
    for (const MadeFont &made : previous)
        DeleteObject(made.handle);
    InvalidateRect(window_, nullptr, TRUE);
}

void DesignedWindow::placeControls()
{
    const unsigned dpi = dpi_;
    for (std::size_t i = 0; i < design_.controls.size() && i < controls_.size(); ++i) {
        const ControlDesign &control = design_.controls[i];
        HWND made = controls_[i];
        if (!made)
            continue;
        // Containers come before their controls in the design and hold them
        // by their own top left; a picture box from inside its border, as
        // wide as the system draws it.
        POINT origin{0, 0};
        if (control.container) {
            const HWND holder = this->control(*control.container);
            const ControlDesign &holderDesign = design_.control(*control.container);
            if (holderDesign.border == design::Border::None || holderDesign.kind == ControlKind::Frame) {
                RECT placed{};
                GetWindowRect(holder, &placed);
                origin = {placed.left, placed.top};
                ScreenToClient(window_, &origin);
            } else {
                MapWindowPoints(holder, window_, &origin, 1);
            }
        }
        const design::TwipsRect &rect = rects_[i];
        const int left = origin.x + pixels(rect.left, dpi);
        const int top = origin.y + pixels(rect.top, dpi);
        HFONT font = fontFor(design_.fontOf(control), dpi);
        SendMessageW(made, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        int width = pixels(rect.width, dpi);
        int height = pixels(rect.height, dpi);
        if (control.sizedToText) {
            const int length = GetWindowTextLengthW(made);
            std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
            GetWindowTextW(made, text.data(), length + 1);
            HDC dc = GetDC(made);
            const HGDIOBJ old = SelectObject(dc, font);
            SIZE extent{};
            GetTextExtentPoint32W(dc, text.c_str(), length, &extent);
            SelectObject(dc, old);
            ReleaseDC(made, dc);
            width = extent.cx;
            height = extent.cy;
        }
        SetWindowPos(made, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    makePictures();
}

// Each picture is scaled once for its size at the DPI, not at every paint.
void DesignedWindow::makePictures()
{
    if (!shown_)
        return;
    for (std::size_t i = 0; i < design_.controls.size() && i < controls_.size(); ++i) {
        const ControlDesign &control = design_.controls[i];
        if (control.picture == design::Picture::None || !controls_[i])
            continue;
        const design::TwipsSize shown =
            control.stretchesPicture ? design::TwipsSize{rects_[i].width, rects_[i].height} : kLogoSize;
        const int width = pixels(shown.width, dpi_);
        const int height = pixels(shown.height, dpi_);
        if (pictures_[i].width() != width || pictures_[i].height() != height)
            pictures_[i] = logoBitmap(width, height);
        InvalidateRect(controls_[i], nullptr, FALSE);
    }
}

void DesignedWindow::drawPicture(std::size_t index, const void *drawItem) const
{
    const auto *item = static_cast<const DRAWITEMSTRUCT *>(drawItem);
    FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_BTNFACE));
    drawBitmap(item->hDC, pictures_[index], item->rcItem.left, item->rcItem.top);
}

void DesignedWindow::place(ControlId id, design::TwipsRect rect)
{
    rects_[static_cast<std::size_t>(itemNumber(design_, id) - kFirstItem)] = rect;
    if (window_)
        placeControls();
}

HWND__ *DesignedWindow::control(ControlId id) const
{
    const int index = itemNumber(design_, id) - kFirstItem;
    return index < static_cast<int>(controls_.size()) ? controls_[static_cast<std::size_t>(index)] : nullptr;
}

void DesignedWindow::destroy()
{
    if (window_)
        DestroyWindow(window_);
}

void DesignedWindow::setCaption(std::u16string_view caption) { SetWindowTextW(window_, wide(caption).c_str()); }

void DesignedWindow::setText(ControlId id, std::u16string_view text)
{
    HWND made = control(id);
    if (!made)
        return;
    SetWindowTextW(made, wide(text).c_str());
    if (design_.control(id).sizedToText)
        layOut(dpi_);
}

void DesignedWindow::setTip(ControlId id, std::u16string_view text)
{
    HWND made = control(id);
    if (!made || !tips_)
        return;
    std::wstring &kept = tipTexts_[static_cast<std::size_t>(itemNumber(design_, id) - kFirstItem)];
    kept = wide(text);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(made);
    tool.lpszText = kept.data();
    SendMessageW(tips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void DesignedWindow::enable(ControlId id, bool enabled)
{
    if (HWND made = control(id))
        EnableWindow(made, enabled);
}

void DesignedWindow::focus(ControlId id)
{
    if (HWND made = control(id))
        SetFocus(made);
}

design::MessageAnswer DesignedWindow::showMessage(const design::Message &message)
{
    return showMessageBox(window_, message);
}

void DesignedWindow::onDefault()
{
    for (const ControlDesign &control : design_.controls)
        if (control.isDefault)
            onClick(control.id);
}

bool DesignedWindow::takeDialogMessage(void *message)
{
    const auto *taken = static_cast<MSG *>(message);
    if (!taken->hwnd)
        return false;
    HWND top = GetAncestor(taken->hwnd, GA_ROOT);
    wchar_t className[64] = {};
    GetClassNameW(top, className, 64);
    return std::wstring_view(className) == kWindowClass && IsDialogMessageW(top, const_cast<MSG *>(taken));
}

} // namespace vantrel::win32_windows
