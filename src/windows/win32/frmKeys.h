#pragma once

#include "windows/design/key_list_behaviour.h"
#include "windows/win32/designed_window.h"

namespace vantrel::win32_windows {

// The key list window with the Win32 API: a list box of the path copies, the
// selected line's file name, Execute and Close. Made afresh for each showing
// after Close destroyed it.
class frmKeys final : public DesignedView<design::KeyListView> {
public:
    frmKeys(const BindingSet &bindings, const platform::KeySource &keys, platform::Opener &opener);

    // Makes the window and fills its list; owner keeps it out of the task bar.
    bool Form_Load(HWND__ *owner);
    // Shows it in front.
    void show();

    void addLine(std::u16string_view text, std::u16string_view toolTip) override;
    std::optional<std::size_t> selectedLine() const override;
    void closeWindow() override;

private:
    void onClick(design::ControlId control) override;
    void onSelect(design::ControlId control) override;
    void onMouseDown(design::ControlId control, design::MouseButton button) override;
    void onEscape() override;

    design::KeyListBehaviour behaviour_;
};

} // namespace vantrel::win32_windows
