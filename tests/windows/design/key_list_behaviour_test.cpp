#include "recording_view.h"

#include "support/idle_keys.h"
#include "support/recording_opener.h"
#include "windows/design/key_list_behaviour.h"

#include <gtest/gtest.h>

namespace {

using namespace vantrel;
using design::KeyListBehaviour;
using design::MouseButton;
using platform::FunctionKey;

class KeyListWindow : public test::RecordingView<design::KeyListView> {
public:
    void addLine(std::u16string_view text, std::u16string_view toolTip) override
    {
        lines.emplace_back(text);
        lineTips.emplace_back(toolTip);
    }
    std::optional<std::size_t> selectedLine() const override { return selected; }
    void closeWindow() override { closed = true; }

    std::vector<std::u16string> lines;
    std::vector<std::u16string> lineTips;
    std::optional<std::size_t> selected;
    bool closed = false;
};

class KeyListBehaviourTest : public ::testing::Test {
protected:
    BindingSet bindings;
    test::IdleKeys keys;
    test::RecordingOpener opener;
    KeyListWindow view;
    KeyListBehaviour behaviour{view, bindings, keys, opener};
};

// One line per key, F6 first: the label padded to six characters and the
// path copy right after it, not the live path.
TEST_F(KeyListBehaviourTest, ListsThePathCopies)
{
    bindings.browse(FunctionKey::F6, u"/home/u/notes.txt");
    bindings.browse(FunctionKey::F10, u"  spaced path ");
    bindings.browse(FunctionKey::F12, u"/old/twelve");
    bindings.clear(FunctionKey::F12);
    keys.triggers = {"F6", "Ctrl+F7", ""};

    behaviour.Form_Load();

    EXPECT_EQ(view.lines, (std::vector<std::u16string>{u"F6    /home/u/notes.txt", u"F7    ", u"F8    ", u"F9    ",
                                                       u"F10     spaced path ", u"F11   ", u"F12   /old/twelve"}));
    EXPECT_EQ(view.lineTips[0], u"");
    EXPECT_NE(view.lineTips[1].find(u"Ctrl+F7"), std::u16string::npos);
    EXPECT_NE(view.lineTips[2].find(u"no key"), std::u16string::npos);
    EXPECT_EQ(view.lineTips[3], u"");
    EXPECT_TRUE(view.texts.empty());
}

TEST(KeyListFileName, IsWhatFollowsTheLastSeparator)
{
    const struct {
        std::u16string path;
        std::u16string shown;
    } cases[] = {
        {u"/home/u/a.txt", u"a.txt"},
        {u"C:\\Tools\\edit.exe", u"edit.exe"},
        {u"/mnt/c\\Tools\\edit.exe", u"edit.exe"},
        {u"C:\\Users/u/a.txt", u"a.txt"},
        {u"a.txt", u" a.txt"},
        {u"", u" "},
        {u"/home/u/", u""},
        {u"C:\\Tools\\", u""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(KeyListBehaviour::fileNamePart(KeyListBehaviour::listLine(FunctionKey::F9, c.path)), c.shown)
            << std::string(c.path.begin(), c.path.end());
    EXPECT_EQ(KeyListBehaviour::fileNamePart(KeyListBehaviour::listLine(FunctionKey::F10, u"x/y")), u"y");
}

// The name is shown whole in the tooltip too, for a name longer than the box.
TEST_F(KeyListBehaviourTest, SelectionShowsTheFileName)
{
    bindings.browse(FunctionKey::F7, u"/a/seven");
    behaviour.Form_Load();

    behaviour.lstKeys_Click();
    EXPECT_TRUE(view.texts.empty());
    view.selected = 1;
    behaviour.lstKeys_Click();
    EXPECT_EQ(view.texts["lblExeName"], u"seven");
    EXPECT_EQ(view.toolTips["lblExeName"], u"seven");
    view.selected = 0;
    behaviour.lstKeys_Click();
    EXPECT_EQ(view.texts["lblExeName"], u" ");
}

// Execute opens the selected line's path as it stands from its seventh
// character, blanks included; with nothing selected it does nothing.
TEST_F(KeyListBehaviourTest, ExecuteOpensTheSelectedPath)
{
    bindings.browse(FunctionKey::F8, u"/home/u/run me.sh");
    bindings.browse(FunctionKey::F11, u" lead and trail ");
    behaviour.Form_Load();

    behaviour.cmdExecute_Click();
    for (const std::size_t line : {2, 5, 6}) {
        view.selected = line;
        behaviour.cmdExecute_Click();
    }
    EXPECT_EQ(opener.opened, (std::vector<std::u16string>{u"/home/u/run me.sh", u" lead and trail ", u""}));
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(KeyListBehaviourTest, MiddleButtonSaysMahCloseCloses)
{
    behaviour.Form_Load();
    behaviour.lstKeys_MouseDown(MouseButton::Left);
    behaviour.lstKeys_MouseDown(MouseButton::Right);
    behaviour.lstKeys_MouseDown(MouseButton::Middle);
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0].text, u"mah!");
    EXPECT_EQ(view.messages[0].title, u"Vantrel");
    EXPECT_EQ(view.messages[0].buttons, design::MessageButtons::Ok);
    EXPECT_FALSE(view.closed);

    behaviour.cmdClose_Click();
    EXPECT_TRUE(view.closed);
}

} // namespace
