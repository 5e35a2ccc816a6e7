#include "windows/design/key_list_behaviour.h"

#include "windows/design/desktop_trigger_note.h"
#include "windows/design/product_texts.h"
#include "windows/design/text.h"

namespace vantrel::design {

using namespace frmKeys;

KeyListBehaviour::KeyListBehaviour(KeyListView &view, const BindingSet &bindings, const platform::KeySource &keys,
                                   platform::Opener &opener)
    : view_(view), bindings_(bindings), keys_(keys), opener_(opener)
{
}

std::u16string KeyListBehaviour::listLine(platform::FunctionKey key, std::u16string_view path)
{
    std::u16string line = fromAscii(platform::keyLabel(key));
    line.resize(kKeyLabelWidth, u' ');
    return line.append(path);
}

std::u16string KeyListBehaviour::fileNamePart(std::u16string_view line)
{
    const auto tail = line.substr(std::min(line.size(), kKeyLabelWidth - 1));
    const auto lastSeparator = tail.find_last_of(u"/\\");
    return std::u16string(lastSeparator == std::u16string_view::npos ? tail : tail.substr(lastSeparator + 1));
}

// A line whose key the desktop fires through another trigger says so in its
// tooltip.
void KeyListBehaviour::Form_Load()
{
    for (const auto key : platform::kFunctionKeys) {
        lines_.push_back(listLine(key, bindings_.pathCopy(key)));
        view_.addLine(lines_.back(), desktopTriggerNote(keys_, key));
    }
}

// A name too long for the box shows its end there, and all of it under the
// pointer.
void KeyListBehaviour::lstKeys_Click()
{
    const auto selected = view_.selectedLine();
    if (!selected || *selected >= lines_.size())
        return;
    const auto name = fileNamePart(lines_[*selected]);
    view_.setText(lblExeName, name);
    view_.setTip(lblExeName, name);
}

// Anywhere over the list, on a line or below the last one.
void KeyListBehaviour::lstKeys_MouseDown(MouseButton button)
{
    if (button == MouseButton::Middle)
        view_.showMessage({std::u16string(kMiddleButtonMessage), kProductName});
}

// An unbound key passes its empty path on; the opener ignores it.
void KeyListBehaviour::cmdExecute_Click()
{
    const auto selected = view_.selectedLine();
    if (!selected || *selected >= lines_.size())
        return;
    opener_.open(lines_[*selected].substr(kKeyLabelWidth));
}

void KeyListBehaviour::cmdClose_Click() { view_.closeWindow(); }

} // namespace vantrel::design
