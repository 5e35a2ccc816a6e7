#pragma once

#include "platform/function_key.h"
#include "windows/design/control_design.h"

#include <array>
#include <span>

// The configuration window: the banner, the "Keys" frame with a row per key
// (label, path box, "Browse" button), OK and Cancel; beside them the tray
// icon's menu and the Open dialog the rows share.
namespace vantrel::design::frmConfig {

const WindowDesign &window();

inline constexpr ControlId imgLogo{"imgLogo"};
inline constexpr ControlId imgAbout{"imgAbout"};
inline constexpr ControlId Image1{"Image1"};
inline constexpr ControlId Label1{"Label1"};
inline constexpr ControlId Label2{"Label2"};
inline constexpr ControlId Label3{"Label3"};
inline constexpr ControlId Frame1{"Frame1"};
inline constexpr ControlId cmdOK{"cmdOK"};
inline constexpr ControlId cmdCancel{"cmdCancel"};

// The row of a key: its label of the control array Key, its path box and its
// "Browse" button.
constexpr ControlId Key(platform::FunctionKey key) { return {"Key", static_cast<int>(platform::slotIndex(key))}; }
constexpr ControlId txtF(platform::FunctionKey key)
{
    constexpr std::array<std::string_view, platform::kFunctionKeyCount> names{"txtF6",  "txtF7",  "txtF8", "txtF9",
                                                                              "txtF10", "txtF11", "txtF12"};
    return {names[platform::slotIndex(key)]};
}
constexpr ControlId cmdF(platform::FunctionKey key)
{
    constexpr std::array<std::string_view, platform::kFunctionKeyCount> names{"cmdF6",  "cmdF7",  "cmdF8", "cmdF9",
                                                                              "cmdF10", "cmdF11", "cmdF12"};
    return {names[platform::slotIndex(key)]};
}

// The key code of Delete, which clears the row of the button that has the
// focus.
inline constexpr int kDeleteKeyCode = 46;

// The tray icon's pop-up menu, in its order; a separator has the caption "-".
struct MenuItemDesign {
    std::string_view name;
    std::u16string_view caption;
    bool isSeparator() const { return caption == u"-"; }
};
inline constexpr std::string_view mnuMain = "mnuMain";
inline constexpr std::u16string_view kMenuCaption = u"&Main";
inline constexpr std::string_view mnuConfig = "mnuConfig";
inline constexpr std::string_view mnuView = "mnuView";
inline constexpr std::string_view sep1 = "sep1";
inline constexpr std::string_view mnuExit = "mnuExit";
std::span<const MenuItemDesign> menu();
// The tray icon's tip.
std::u16string_view trayTip();

// What the rows' Open dialog shows: its title, and the one entry of its filter
// list, which admits every file.
inline constexpr std::u16string_view kOpenDialogTitle = u"Choose File...";
inline constexpr std::u16string_view kOpenDialogFilterName = u"All Files";

} // namespace vantrel::design::frmConfig
