#include "recording_view.h"

#include "bindings/fake_registry.h"
#include "bindings/settings_key.h"
#include "support/idle_keys.h"
#include "support/registry_test_env.h"
#include "windows/design/config_behaviour.h"
#include "windows/design/product_texts.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>

namespace {

using namespace vantrel;
using design::OpenFileAnswer;
using Outcome = design::OpenFileAnswer::Outcome;
using platform::FunctionKey;

class ConfigWindow : public test::RecordingView<design::ConfigView> {
public:
    OpenFileAnswer askFileToOpen(const design::OpenFileRequest &request) override
    {
        asked.push_back(request);
        if (dialogAnswers.empty()) {
            ADD_FAILURE() << "the Open dialog came up unexpectedly";
            return {};
        }
        auto answer = dialogAnswers.front();
        dialogAnswers.pop_front();
        return answer;
    }
    // The events a wait lets run may bring the answer.
    bool letEventsRunUntil(const std::function<bool()> &done, std::chrono::milliseconds limit) override
    {
        waits.push_back(limit);
        if (duringWait)
            duringWait();
        return done();
    }
    void showWindow() override { visible = true; }
    void hideWindow() override { visible = false; }
    void openKeyList() override { ++keyLists; }
    void openAbout() override { ++abouts; }

    std::deque<OpenFileAnswer> dialogAnswers;
    std::vector<std::chrono::milliseconds> waits;
    std::function<void()> duringWait;
    std::vector<design::OpenFileRequest> asked;
    bool visible = true;
    int keyLists = 0;
    int abouts = 0;
};

// Places that answer when the test says so.
class ScriptedPlaces : public design::FolderCheck {
public:
    Answered look(const std::u16string &path) override
    {
        looked.push_back(path);
        auto &flag = flags[path];
        if (!flag)
            flag = std::make_shared<std::atomic<bool>>(answering);
        return flag;
    }

    bool answering = true;
    std::vector<std::u16string> looked;
    std::map<std::u16string, std::shared_ptr<std::atomic<bool>>> flags;
};

std::u16string stored(platform::Registry &registry, const std::u16string &name)
{
    return Registry_Module::ReadRegString(registry, kSettingsRoot, kSettingsKeyPath, name).value_or(u"<absent>");
}

class ConfigBehaviourTest : public ::testing::Test {
protected:
    void store(const std::u16string &name, const std::u16string &path)
    {
        ASSERT_TRUE(Registry_Module::WriteRegString(*registry, kSettingsRoot, kSettingsKeyPath, name, path).ok);
    }
    void load() { ASSERT_TRUE(bindings.load(guarded).ok); }

    std::unique_ptr<platform::Registry> registry = test::makeEmptyRegistry();
    test::GuardedRegistry guarded{*registry};
    test::IdleKeys keys;
    BindingSet bindings;
    ConfigWindow view;
    ScriptedPlaces places;
    design::ConfigBehaviour behaviour{view, bindings, guarded, keys, places};
};

// Each row shows its live path, whole in the tooltip; only keys with a file
// are asked of the desktop, and where it fires one through another trigger,
// the key's label says so.
TEST_F(ConfigBehaviourTest, RowsFollowTheLiveCopy)
{
    store(u"F6", u"/usr/bin/six");
    store(u"F12", u"  twelve with spaces ");
    keys.triggers = {"Ctrl+F6", "F7", "", std::nullopt};
    load();

    EXPECT_EQ(view.texts["txtF6"], u"/usr/bin/six");
    EXPECT_EQ(view.toolTips["txtF6"], u"/usr/bin/six");
    EXPECT_EQ(view.texts["txtF12"], u"  twelve with spaces ");
    EXPECT_EQ(view.texts["txtF9"], u"");
    ASSERT_FALSE(keys.used.empty());
    EXPECT_EQ(keys.used.back(), (platform::KeySelection{true, false, false, false, false, false, true}));
    EXPECT_NE(view.toolTips["Key0"].find(u"Ctrl+F6"), std::u16string::npos);
    EXPECT_EQ(view.toolTips["Key1"], u"");
    EXPECT_NE(view.toolTips["Key2"].find(u"no key"), std::u16string::npos);
    EXPECT_EQ(view.toolTips["Key3"], u"");

    behaviour.cmdF_KeyDown(FunctionKey::F6, design::frmConfig::kDeleteKeyCode);
    EXPECT_EQ(view.texts["txtF6"], u"");
    EXPECT_EQ(keys.used.back(), (platform::KeySelection{false, false, false, false, false, false, true}));
}

// The dialog opens where the last choice, in any row, left it. A cancelled
// dialog changes nothing; a failing one hands the dialog its row's path.
// Nothing reaches the store before OK.
TEST_F(ConfigBehaviourTest, BrowseSharesTheDialogsFileNameAcrossRows)
{
    store(u"F10", u"/saved/ten");
    load();
    view.dialogAnswers = {{Outcome::Chosen, u"/picked/for/six"},
                          {Outcome::Cancelled, {}},
                          {Outcome::Failed, {}},
                          {Outcome::Cancelled, {}}};

    behaviour.cmdF_Click(FunctionKey::F6);
    ASSERT_EQ(view.asked.size(), 1u);
    EXPECT_EQ(view.asked[0].title, u"Choose File...");
    EXPECT_EQ(view.asked[0].filterName, u"All Files");
    EXPECT_EQ(view.asked[0].startName, u"");
    EXPECT_EQ(view.texts["txtF6"], u"/picked/for/six");
    EXPECT_EQ(bindings.live(FunctionKey::F6), u"/picked/for/six");
    EXPECT_EQ(bindings.pathCopy(FunctionKey::F6), u"/picked/for/six");

    behaviour.cmdF_Click(FunctionKey::F9);
    EXPECT_EQ(view.asked[1].startName, u"/picked/for/six");
    EXPECT_EQ(view.texts["txtF9"], u"");
    EXPECT_EQ(bindings.pathCopy(FunctionKey::F9), u"");

    behaviour.cmdF_Click(FunctionKey::F10);
    EXPECT_EQ(view.asked[2].startName, u"/picked/for/six");
    EXPECT_EQ(view.texts["txtF10"], u"/saved/ten");
    EXPECT_EQ(bindings.pathCopy(FunctionKey::F10), u"/saved/ten");
    EXPECT_TRUE(view.messages.empty());

    behaviour.cmdF_Click(FunctionKey::F7);
    EXPECT_EQ(view.asked[3].startName, u"/saved/ten");
    EXPECT_EQ(behaviour.dialogFileName(), u"/saved/ten");
    EXPECT_EQ(stored(*registry, u"F6"), u"<absent>");
}

// A path box that takes the focus hands it to its own row's button at once.
// The dialog starts at the last file chosen only once its place has
// answered, and waits for it a short time, with the program's events going
// on; a place that does not answer opens the dialog in the home folder, and
// is looked at again the next time.
TEST_F(ConfigBehaviourTest, BrowseOpensAtHomeWhereTheLastFilesPlaceDoesNotAnswer)
{
    view.dialogAnswers = {{Outcome::Chosen, u"/mnt/gone/notes.txt"},
                          {Outcome::Cancelled, {}},
                          {Outcome::Cancelled, {}},
                          {Outcome::Cancelled, {}}};
    behaviour.cmdF_Click(FunctionKey::F6);
    EXPECT_TRUE(places.looked.empty());
    EXPECT_TRUE(view.waits.empty());

    places.answering = false;
    behaviour.cmdF_Click(FunctionKey::F7);
    EXPECT_EQ(places.looked, std::vector<std::u16string>{u"/mnt/gone/notes.txt"});
    ASSERT_EQ(view.waits.size(), 1u);
    EXPECT_LE(view.waits[0], std::chrono::milliseconds(2000));
    EXPECT_EQ(view.asked[1].startName, u"");
    EXPECT_EQ(view.asked[1].startFolder, design::homeFolder());
    EXPECT_FALSE(view.asked[1].startFolder.empty());
    EXPECT_EQ(behaviour.dialogFileName(), u"/mnt/gone/notes.txt");

    // The place comes back while the next Browse waits for it.
    view.duringWait = [this] { places.flags[u"/mnt/gone/notes.txt"]->store(true); };
    behaviour.cmdF_Click(FunctionKey::F8);
    EXPECT_EQ(view.asked[2].startName, u"/mnt/gone/notes.txt");
    EXPECT_EQ(view.asked[2].startFolder, u"");

    // A Browse asked for while one waits is not taken.
    places.flags.clear();
    places.answering = false;
    view.duringWait = [this] { behaviour.cmdF_Click(FunctionKey::F9); };
    behaviour.cmdF_Click(FunctionKey::F10);
    EXPECT_EQ(view.asked.size(), 4u);
    EXPECT_EQ(view.waits.size(), 3u);
}

TEST_F(ConfigBehaviourTest, PathBoxesHandTheFocusToTheirButtons)
{
    for (const auto key : platform::kFunctionKeys)
        behaviour.txtF_GotFocus(key);
    EXPECT_EQ(view.focused,
              (std::vector<std::string>{"cmdF6", "cmdF7", "cmdF8", "cmdF9", "cmdF10", "cmdF11", "cmdF12"}));
}

// Delete empties the row's live path only; the path copy keeps it, and other
// keys leave the row alone.
TEST_F(ConfigBehaviourTest, DeleteClearsItsRowOnly)
{
    for (const auto key : platform::kFunctionKeys)
        bindings.browse(key, u"/p/" + std::u16string(1, char16_t(u'a' + slotIndex(key))));

    for (const auto key : platform::kFunctionKeys) {
        const auto path = bindings.pathCopy(key);
        behaviour.cmdF_KeyDown(key, 8);  // Backspace
        behaviour.cmdF_KeyDown(key, 68); // D
        EXPECT_EQ(bindings.live(key), path);

        behaviour.cmdF_KeyDown(key, design::frmConfig::kDeleteKeyCode);
        EXPECT_EQ(bindings.live(key), u"");
        EXPECT_EQ(view.texts[test::RecordingView<design::ConfigView>::nameOf(design::frmConfig::txtF(key))], u"");
        EXPECT_EQ(bindings.pathCopy(key), path);
        if (key != FunctionKey::F12) {
            EXPECT_FALSE(bindings.live(static_cast<FunctionKey>(slotIndex(key) + 1)).empty());
        }
    }
}

TEST_F(ConfigBehaviourTest, OkSavesEveryRowAndHidesCancelOnlyHides)
{
    store(u"F12", u"/old/twelve");
    store(u"F6", u"/old/six");
    load();
    view.dialogAnswers = {{Outcome::Chosen, u"/new/seven"}, {Outcome::Chosen, u"/new/six"}};
    behaviour.cmdF_Click(FunctionKey::F7);
    behaviour.cmdF_KeyDown(FunctionKey::F12, design::frmConfig::kDeleteKeyCode);

    behaviour.cmdOK_Click();
    EXPECT_FALSE(view.visible);
    EXPECT_EQ(stored(*registry, u"F7"), u"/new/seven");
    EXPECT_EQ(stored(*registry, u"F12"), u"");
    EXPECT_EQ(stored(*registry, u"F8"), u"");
    EXPECT_EQ(bindings.pathCopy(FunctionKey::F12), u"/old/twelve");

    behaviour.mnuConfig_Click();
    EXPECT_TRUE(view.visible);
    behaviour.cmdF_Click(FunctionKey::F6);
    behaviour.cmdCancel_Click();
    EXPECT_FALSE(view.visible);
    EXPECT_EQ(stored(*registry, u"F6"), u"/old/six");
    EXPECT_EQ(bindings.live(FunctionKey::F6), u"/new/six");
    EXPECT_TRUE(view.messages.empty());
}

// A store that refuses the write: the window stays open with the edits and
// says why, in a box of the program's.
TEST_F(ConfigBehaviourTest, FailedSaveKeepsTheWindowOpenAndSaysWhy)
{
    view.dialogAnswers = {{Outcome::Chosen, u"/new/six"}};
    behaviour.cmdF_Click(FunctionKey::F6);
    guarded.refuseSet = true;
    guarded.refuseCreate = true;

    behaviour.cmdOK_Click();

    EXPECT_TRUE(view.visible);
    ASSERT_EQ(view.messages.size(), 1u);
    const auto &box = view.messages.front();
    EXPECT_EQ(box.title, u"Vantrel");
    EXPECT_EQ(box.buttons, design::MessageButtons::Ok);
    EXPECT_EQ(box.text.rfind(u"The key settings could not be saved.\n\n", 0), 0u);
    EXPECT_NE(box.text.find(u"refused by the test"), std::u16string::npos);
    EXPECT_EQ(view.texts["txtF6"], u"/new/six");
}

TEST_F(ConfigBehaviourTest, MenuAndBannerOpenTheirWindows)
{
    view.visible = false;
    behaviour.mnuConfig_Click();
    behaviour.mnuConfig_Click();
    EXPECT_TRUE(view.visible);
    behaviour.mnuView_Click();
    behaviour.imgAbout_Click();
    behaviour.imgAbout_Click();
    EXPECT_EQ(view.keyLists, 1);
    EXPECT_EQ(view.abouts, 2);
}

} // namespace
