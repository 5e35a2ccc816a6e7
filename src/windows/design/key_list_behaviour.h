#pragma once

#include "bindings/binding_set.h"
#include "platform/key_source.h"
#include "platform/opener.h"
#include "windows/design/frmKeys_design.h"
#include "windows/design/window_view.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vantrel::design {

class KeyListView : public WindowView {
public:
    // Appends a line to lstKeys.
    virtual void addLine(std::u16string_view text, std::u16string_view toolTip) = 0;
    // The selected line of lstKeys, counted from 0, or none.
    virtual std::optional<std::size_t> selectedLine() const = 0;
    // Closes and destroys the window.
    virtual void closeWindow() = 0;
};

// What the key list window decides: its lines, the path copies as they were
// when the window was created; the file name of the selected line; Execute,
// which opens the selected line's path the way the keys do; and the middle
// mouse button's message.
class KeyListBehaviour {
public:
    // All four must outlive the behaviour.
    KeyListBehaviour(KeyListView &view, const BindingSet &bindings, const platform::KeySource &keys,
                     platform::Opener &opener);

    void Form_Load();
    void lstKeys_Click();
    void lstKeys_MouseDown(MouseButton button);
    void cmdExecute_Click();
    void cmdClose_Click();

    // The key's label padded with blanks to six characters, then the path.
    static std::u16string listLine(platform::FunctionKey key, std::u16string_view path);
    // What follows the last path separator in the line from its sixth
    // character on. Paths here are separated by "/", paths carried over from
    // Windows by "\": whichever comes last counts. A path without either
    // keeps the blank that precedes it in the line.
    static std::u16string fileNamePart(std::u16string_view line);

private:
    KeyListView &view_;
    const BindingSet &bindings_;
    const platform::KeySource &keys_;
    platform::Opener &opener_;
    std::vector<std::u16string> lines_;
};

} // namespace vantrel::design
