#pragma once

#include "recording_view.h"

#include "windows/design/website_behaviour.h"

#include <map>
#include <string>
#include <vector>

namespace vantrel::test {

// Stands in for the website window and its browser control, which loads no
// page where no web engine runs: keeps the browser's commands and answers
// with the page title it is given.
class RecordingWebsiteView : public RecordingView<design::WebsiteView> {
public:
    void navigate(std::u16string_view address) override { browser.push_back(u"navigate " + std::u16string(address)); }
    void goBack() override { browser.push_back(u"back"); }
    void goForward() override { browser.push_back(u"forward"); }
    void stop() override { browser.push_back(u"stop"); }
    void refresh() override { browser.push_back(u"refresh"); }
    std::u16string locationName() const override { return title; }
    void place(design::ControlId control, design::TwipsRect rect) override { placed[nameOf(control)] = rect; }
    void closeWindow() override { closed = true; }

    std::vector<std::u16string> browser;
    std::u16string title;
    std::map<std::string, design::TwipsRect> placed;
    bool closed = false;
};

} // namespace vantrel::test
