#include "recording_website_view.h"

#include "support/recording_sound.h"
#include "windows/design/website_behaviour.h"

#include <gtest/gtest.h>

namespace {

using namespace vantrel;
using design::TwipsRect;
using design::TwipsSize;
using design::WebsiteBehaviour;

class WebsiteBehaviourTest : public ::testing::Test {
protected:
    test::RecordingSound sound;
    test::RecordingWebsiteView view;
    WebsiteBehaviour behaviour{view, u"https://morvask.example/", sound};
};

// Load and the site button go to the maker's site; the others hand the
// browser its commands; Close closes.
TEST_F(WebsiteBehaviourTest, ButtonsDriveTheBrowser)
{
    behaviour.Form_Load();
    behaviour.cmdBack_Click();
    behaviour.cmdForward_Click();
    behaviour.cmdStop_Click();
    behaviour.cmdRefresh_Click();
    behaviour.cmdMorvaskSite_Click();
    EXPECT_EQ(view.browser, (std::vector<std::u16string>{u"navigate https://morvask.example/", u"back", u"forward",
                                                         u"stop", u"refresh", u"navigate https://morvask.example/"}));
    EXPECT_FALSE(view.closed);
    behaviour.cmdClose_Click();
    EXPECT_TRUE(view.closed);
}

TEST_F(WebsiteBehaviourTest, AvailabilityReportsEnableBackAndForward)
{
    behaviour.WB1_CommandStateChange(design::frmWB::CSC_NAVIGATEFORWARD, false);
    behaviour.WB1_CommandStateChange(design::frmWB::CSC_NAVIGATEBACK, true);
    EXPECT_EQ(view.enabled, (std::map<std::string, bool>{{"cmdForward", false}, {"cmdBack", true}}));
    behaviour.WB1_CommandStateChange(-1, false);
    behaviour.WB1_CommandStateChange(0, false);
    behaviour.WB1_CommandStateChange(3, false);
    EXPECT_EQ(view.enabled, (std::map<std::string, bool>{{"cmdForward", false}, {"cmdBack", true}}));
    behaviour.WB1_CommandStateChange(design::frmWB::CSC_NAVIGATEFORWARD, true);
    EXPECT_TRUE(view.enabled["cmdForward"]);
}

// Every finished document retitles the window; only the exact title plays
// the trumpet, each time.
TEST_F(WebsiteBehaviourTest, CaptionAndTrumpetFollowEachDocument)
{
    const struct {
        std::u16string title;
        bool plays;
    } cases[] = {
        {u"Morvak\u2122 Homepage Coming Soon...", true},  {u"Morvak\u2122 Homepage Coming Soon..", false},
        {u"morvak\u2122 homepage coming soon...", false}, {u"Morvask\u2122 Homepage Coming Soon...", false},
        {u"Morvak Homepage Coming Soon...", false},       {u"Morvak\u2122 Homepage Coming Soon...", true},
    };
    std::size_t expectedPlays = 0;
    for (const auto &c : cases) {
        view.title = c.title;
        behaviour.WB1_DocumentComplete();
        EXPECT_EQ(view.caption, u"Morvask Website - " + c.title);
        expectedPlays += c.plays ? 1 : 0;
        EXPECT_EQ(sound.played, std::vector<std::string>(expectedPlays, "trumpet1.wav"));
    }
}

// In client-area terms: the browser 80 twips narrower and 695 lower than the
// client area, the strip 50 below it and as wide, and the right-hand blank as
// wide as the strip. Below the minimum, the minimum's layout.
TEST_F(WebsiteBehaviourTest, LayoutFollowsTheClientArea)
{
    behaviour.Form_Resize({8880, 5190});
    EXPECT_EQ(view.placed["WB1"], (TwipsRect{60, 60, 8800, 4495}));
    EXPECT_EQ(view.placed["picButtons"], (TwipsRect{60, 4605, 8800, 555}));
    EXPECT_EQ(view.placed["cmdSpace1"], (TwipsRect{8700, 0, 8800, 495}));

    behaviour.Form_Resize({12000, 9000});
    EXPECT_EQ(view.placed["WB1"], (TwipsRect{60, 60, 11920, 8305}));
    EXPECT_EQ(view.placed["picButtons"], (TwipsRect{60, 8415, 11920, 555}));
    EXPECT_EQ(view.placed["cmdSpace1"].width, 11920);
    EXPECT_EQ(view.placed.size(), 3u);

    EXPECT_EQ(WebsiteBehaviour::layoutFor({4500, 9000}).browser, (TwipsRect{60, 60, 8800, 8305}));
    EXPECT_EQ(WebsiteBehaviour::layoutFor({10500, 100}).buttonStrip, (TwipsRect{60, 4605, 10420, 555}));
    EXPECT_EQ(WebsiteBehaviour::minimumClientArea(), (TwipsSize{8880, 5190}));
}

} // namespace
