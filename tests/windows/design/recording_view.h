#pragma once

#include "windows/design/window_view.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace vantrel::test {

// Stands in for a window on screen: keeps what its behaviour set, in the
// terms of the design, and answers message boxes from a script. A box that
// finds no scripted answer goes away unanswered.
template <class View>
class RecordingView : public View {
public:
    static std::string nameOf(design::ControlId id)
    {
        return std::string(id.name) + (id.index >= 0 ? std::to_string(id.index) : std::string());
    }

    void setCaption(std::u16string_view caption) override { this->caption = caption; }
    void setText(design::ControlId control, std::u16string_view text) override { texts[nameOf(control)] = text; }
    void setTip(design::ControlId control, std::u16string_view text) override { toolTips[nameOf(control)] = text; }
    void enable(design::ControlId control, bool on) override { enabled[nameOf(control)] = on; }
    void focus(design::ControlId control) override { focused.push_back(nameOf(control)); }
    design::MessageAnswer showMessage(const design::Message &message) override
    {
        messages.push_back(message);
        if (answers.empty())
            return design::MessageAnswer::None;
        const auto answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::u16string caption;
    std::map<std::string, std::u16string> texts;
    std::map<std::string, std::u16string> toolTips;
    std::map<std::string, bool> enabled;
    std::vector<std::string> focused;
    std::vector<design::Message> messages;
    std::deque<design::MessageAnswer> answers;
};

} // namespace vantrel::test
