#include "recording_view.h"

#include "support/recording_opener.h"
#include "windows/design/about_behaviour.h"

#include <gtest/gtest.h>

namespace {

using namespace vantrel;
using design::MessageAnswer;
using design::MessageButtons;

class AboutWindow : public test::RecordingView<design::AboutView> {
public:
    void openWebsite() override { ++websites; }
    void closeWindow() override { closed = true; }
    int websites = 0;
    bool closed = false;
};

class AboutBehaviourTest : public ::testing::Test {
protected:
    std::vector<std::u16string> texts() const
    {
        std::vector<std::u16string> seen;
        for (const auto &box : view.messages) {
            EXPECT_EQ(box.title, u"Vantrel");
            seen.push_back(box.text);
        }
        return seen;
    }

    test::RecordingOpener opener;
    AboutWindow view;
    design::AboutBehaviour behaviour{view, opener};
};

// The minor number is not widened and no revision follows.
TEST_F(AboutBehaviourTest, LoadShowsTheVersion)
{
    behaviour.Form_Load();
    EXPECT_EQ(view.texts["Label5"], u"Version: 2.0");
}

const std::u16string kQuestion = u"MAH! You found a easter egg! Don't you feel special?!";

TEST_F(AboutBehaviourTest, HiddenDialogueNeedsControl)
{
    behaviour.imgImage_Click(false);
    EXPECT_TRUE(view.messages.empty());
}

TEST_F(AboutBehaviourTest, HiddenDialogueAnswersYes)
{
    view.answers = {MessageAnswer::Yes, MessageAnswer::Ok};
    behaviour.imgImage_Click(true);
    EXPECT_EQ(texts(), (std::vector<std::u16string>{kQuestion, u"Good for you! Nobody cares!"}));
    EXPECT_EQ(view.messages[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(view.messages[1].buttons, MessageButtons::Ok);
}

TEST_F(AboutBehaviourTest, HiddenDialogueAnswersNo)
{
    view.answers = {MessageAnswer::No, MessageAnswer::Ok};
    behaviour.imgImage_Click(true);
    EXPECT_EQ(texts(), (std::vector<std::u16string>{
                           kQuestion, u"Don't put yourself down like that! Oh wait, go ahead, I don't care!"}));
    EXPECT_EQ(view.messages[1].buttons, MessageButtons::Ok);
}

// A question that went away unanswered (its window destroyed) ends there.
TEST_F(AboutBehaviourTest, HiddenDialogueUnansweredEndsAtTheQuestion)
{
    behaviour.imgImage_Click(true);
    EXPECT_EQ(texts(), std::vector<std::u16string>{kQuestion});
}

TEST_F(AboutBehaviourTest, AddressWebsiteAndOk)
{
    behaviour.Label4_Click();
    EXPECT_EQ(opener.opened, std::vector<std::u16string>{u"mailto:vantrel@morvask.example"});
    behaviour.cmdWebsite_Click();
    EXPECT_EQ(view.websites, 1);
    EXPECT_FALSE(view.closed);
    behaviour.cmdOK_Click();
    EXPECT_TRUE(view.closed);
    EXPECT_TRUE(view.messages.empty());
}

} // namespace
