#include "bindings/hot_key_poller.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace vantrel;
using namespace vantrel::platform;

namespace {

// Keys as a test scripts them: presses arrive between ticks.
class ScriptedKeys : public KeySource {
public:
    std::map<FunctionKey, KeyState> pending;
    bool alive = true;
    int collects = 0;

    void press(FunctionKey key, bool stillDown = true)
    {
        auto &state = pending[key];
        ++state.pressesSincePreviousQuery;
        state.downNow = stillDown;
    }

    bool start(std::string *) override { return true; }
    KeySourceWakeup wakeup() const override { return {}; }
    bool collect() override
    {
        ++collects;
        return alive;
    }
    KeyState query(FunctionKey key) override
    {
        KeyState state = pending[key];
        pending[key].pressesSincePreviousQuery = 0;
        return state;
    }
};

// Every open names its key, so that a failure can be told with it.
class RecordingOpener : public Opener {
public:
    std::vector<std::u16string> opened;
    std::vector<FunctionKey> keys;
    std::string refusal; // what every open answers
    std::string open(const std::u16string &) override
    {
        ADD_FAILURE() << "opened without its key";
        return {};
    }
    std::string openBinding(FunctionKey key, const std::u16string &target) override
    {
        opened.push_back(target);
        keys.push_back(key);
        return refusal;
    }
};

class HotKeyPollerTest : public ::testing::Test {
protected:
    HotKeyPollerTest()
    {
        for (auto key : kFunctionKeys) {
            const auto label = keyLabel(key);
            bindings.browse(key, u"/bound/" + std::u16string(label.begin(), label.end()));
        }
        std::string error;
        poller.start(&error);
    }
    ScriptedKeys keys;
    BindingSet bindings;
    RecordingOpener opener;
    HotKeyPoller poller{keys, bindings, opener};
};

TEST_F(HotKeyPollerTest, OnePressOpensOnceHoweverLongItIsHeld)
{
    keys.press(FunctionKey::F8);
    EXPECT_TRUE(poller.tick());
    EXPECT_TRUE(poller.tick());
    EXPECT_TRUE(poller.tick());
    EXPECT_EQ(opener.opened, std::vector<std::u16string>{u"/bound/F8"});
}

TEST_F(HotKeyPollerTest, TapsBetweenTicksEachOpenOnce)
{
    keys.press(FunctionKey::F6, false);
    keys.press(FunctionKey::F6, false);
    poller.tick();
    EXPECT_EQ(opener.opened, (std::vector<std::u16string>{u"/bound/F6", u"/bound/F6"}));
}

TEST_F(HotKeyPollerTest, KeysTogetherOpenInFixedOrder)
{
    keys.press(FunctionKey::F9);
    keys.press(FunctionKey::F7);
    poller.tick();
    EXPECT_EQ(opener.opened, (std::vector<std::u16string>{u"/bound/F7", u"/bound/F9"}));
    EXPECT_EQ(opener.keys, (std::vector<FunctionKey>{FunctionKey::F7, FunctionKey::F9}));
}

TEST_F(HotKeyPollerTest, OpensTheLiveCopyIncludingAnEmptyOne)
{
    bindings.browse(FunctionKey::F10, u"/picked/later");
    bindings.clear(FunctionKey::F11);
    keys.press(FunctionKey::F10);
    keys.press(FunctionKey::F11);
    poller.tick();
    EXPECT_EQ(opener.opened, (std::vector<std::u16string>{u"/picked/later", u""}));
}

TEST_F(HotKeyPollerTest, PressesCollectedBeforeTheSourceIsLostStillOpen)
{
    keys.press(FunctionKey::F12);
    keys.alive = false;
    EXPECT_FALSE(poller.tick());
    EXPECT_EQ(opener.opened, std::vector<std::u16string>{u"/bound/F12"});
}

TEST_F(HotKeyPollerTest, AHandedOverPressOpensAtOnceWatchingOrNotAndSaysWhenItWillNot)
{
    EXPECT_EQ(poller.pressHandedOver(FunctionKey::F9), "");
    EXPECT_EQ(opener.opened, std::vector<std::u16string>{u"/bound/F9"});

    // A lost source is asked nothing more, and handed-over presses still open.
    keys.alive = false;
    EXPECT_FALSE(poller.tick());
    const int collects = keys.collects;
    keys.press(FunctionKey::F7);
    EXPECT_FALSE(poller.tick());
    EXPECT_EQ(keys.collects, collects);
    EXPECT_EQ(poller.pressHandedOver(FunctionKey::F12), "");
    EXPECT_EQ(opener.opened, (std::vector<std::u16string>{u"/bound/F9", u"/bound/F12"}));

    // Nothing bound, or an opener that turns the open down: the press is
    // told so instead of vanishing.
    bindings.clear(FunctionKey::F8);
    EXPECT_EQ(poller.pressHandedOver(FunctionKey::F8), "no file is bound to it");
    opener.refusal = "earlier opens of it have not finished";
    EXPECT_EQ(poller.pressHandedOver(FunctionKey::F6), "earlier opens of it have not finished");
    EXPECT_EQ(opener.opened, (std::vector<std::u16string>{u"/bound/F9", u"/bound/F12", u"/bound/F6"}));
}

} // namespace
