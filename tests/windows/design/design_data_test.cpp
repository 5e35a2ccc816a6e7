#include "windows/design/frmAbout_design.h"
#include "windows/design/frmConfig_design.h"
#include "windows/design/frmKeys_design.h"
#include "windows/design/frmWB_design.h"
#include "windows/design/text.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using namespace vantrel::design;

const WindowDesign *const kWindows[] = {&frmConfig::window(), &frmKeys::window(), &frmAbout::window(),
                                        &frmWB::window()};

std::string nameOf(ControlId id) { return std::string(id.name) + (id.index >= 0 ? std::to_string(id.index) : ""); }

// What assistive technology announces for a control: its accessible name,
// else the caption of the label that names it, else its own caption.
std::u16string announced(const WindowDesign &window, const ControlDesign &control)
{
    if (!control.accessibleName.empty())
        return std::u16string(control.accessibleName);
    if (control.labelledBy)
        return withoutAccessKeys(window.control(*control.labelledBy).caption);
    return withoutAccessKeys(control.caption);
}

// Names are unique; a control's container comes before it; every control
// lies within its container, save the strip's right-hand blank, which the
// strip clips.
TEST(WindowDesigns, ControlsAreNamedOnceAndSitInsideTheirContainers)
{
    for (const auto *window : kWindows) {
        std::set<std::string> seen;
        for (const auto &control : window->controls) {
            SCOPED_TRACE(std::string(window->name) + "." + nameOf(control.id));
            EXPECT_TRUE(seen.insert(nameOf(control.id)).second);
            TwipsRect outer{0, 0, window->clientSize.width, window->clientSize.height};
            if (control.container) {
                ASSERT_TRUE(seen.count(nameOf(*control.container)));
                const auto &container = window->control(*control.container);
                EXPECT_TRUE(container.kind == ControlKind::Frame || container.kind == ControlKind::PictureBox);
                outer = {0, 0, container.rect.width, container.rect.height};
            }
            if (control.id == frmWB::cmdSpace[1])
                continue;
            EXPECT_GE(control.rect.left, outer.left);
            EXPECT_GE(control.rect.top, outer.top);
            EXPECT_LE(control.rect.left + control.rect.width, outer.width);
            EXPECT_LE(control.rect.top + control.rect.height, outer.height);
        }
    }
}

// Tab indexes are unique in a window, and every control that takes the focus
// has one and announces a name of its own, so that a screen reader tells the
// seven rows apart.
TEST(WindowDesigns, FocusableControlsHaveATabStopAndADistinctName)
{
    for (const auto *window : kWindows) {
        std::set<int> tabIndexes;
        std::set<std::u16string> names;
        for (const auto &control : window->controls) {
            SCOPED_TRACE(std::string(window->name) + "." + nameOf(control.id));
            if (control.tabIndex) {
                EXPECT_TRUE(tabIndexes.insert(*control.tabIndex).second);
            }
            if (!control.takesFocus || !control.enabled)
                continue;
            EXPECT_TRUE(control.tabIndex.has_value());
            const auto name = announced(*window, control);
            EXPECT_FALSE(name.empty());
            EXPECT_TRUE(names.insert(name).second);
        }
    }
}

TEST(WindowDesigns, ConfigurationRowsAreLabelledByTheirKeys)
{
    const auto &window = frmConfig::window();
    for (const auto key : vantrel::platform::kFunctionKeys) {
        const auto &label = window.control(frmConfig::Key(key));
        const auto &box = window.control(frmConfig::txtF(key));
        const auto &button = window.control(frmConfig::cmdF(key));
        EXPECT_EQ(label.caption, fromAscii(vantrel::platform::keyLabel(key)));
        EXPECT_EQ(label.tabIndex, static_cast<int>(slotIndex(key)) + 1);
        EXPECT_EQ(announced(window, box), label.caption);
        EXPECT_EQ(announced(window, button), u"Browse for " + std::u16string(label.caption));
        // Rows are 360 twips apart; the label sits 60 below its row's top.
        EXPECT_EQ(box.rect.top, 300 + 360 * static_cast<int>(slotIndex(key)));
        EXPECT_EQ(button.rect.top, box.rect.top);
        EXPECT_EQ(label.rect.top, box.rect.top + 60);
    }
}

TEST(WindowDesigns, AccessKeyMarksLeaveTheCaption)
{
    EXPECT_EQ(withoutAccessKeys(u"&OK"), u"OK");
    EXPECT_EQ(withoutAccessKeys(u"E&xit"), u"Exit");
    EXPECT_EQ(withoutAccessKeys(u"Fish && Chips"), u"Fish & Chips");
    EXPECT_EQ(withoutAccessKeys(u"Trailing&"), u"Trailing&");
}

TEST(WindowTexts, Utf8BecomesUtf16)
{
    EXPECT_EQ(fromUtf8("Ctrl+F8"), u"Ctrl+F8");
    EXPECT_EQ(fromUtf8("Strg+\xC3\x9C"), u"Strg+\u00DC");
    EXPECT_EQ(fromUtf8("\xE2\x84\xA2"), u"\u2122");
    EXPECT_EQ(fromUtf8("\xF0\x9F\x8E\xBA"), u"\U0001F3BA");
    // A stray continuation byte, a cut sequence, an overlong form, a surrogate.
    EXPECT_EQ(fromUtf8("a\x80z"), u"a\uFFFDz");
    EXPECT_EQ(fromUtf8("a\xE2\x84"), u"a\uFFFD\uFFFD");
    EXPECT_EQ(fromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");
    EXPECT_EQ(fromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
}

} // namespace
