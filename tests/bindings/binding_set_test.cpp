#include "bindings/binding_set.h"

#include "bindings/settings_key.h"
#include "fake_registry.h"
#include "support/registry_test_env.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vantrel;
using namespace vantrel::platform;
using Registry_Module::ReadRegString;
using Registry_Module::WriteRegString;

namespace {

std::u16string name(FunctionKey key)
{
    const auto label = keyLabel(key);
    return {label.begin(), label.end()};
}

class BindingSetTest : public ::testing::Test {
protected:
    std::unique_ptr<Registry> store = test::makeEmptyRegistry();
    BindingSet bindings;

    std::optional<std::u16string> stored(FunctionKey key)
    {
        return ReadRegString(*store, kSettingsRoot, kSettingsKeyPath, name(key));
    }
    void storeValue(FunctionKey key, const std::u16string &path)
    {
        ASSERT_TRUE(WriteRegString(*store, kSettingsRoot, kSettingsKeyPath, name(key), path).ok);
    }
};

TEST_F(BindingSetTest, FirstStartWithoutSettingsIsEmptyAndWritesNothing)
{
    bindings.load(*store);
    for (auto key : kFunctionKeys) {
        EXPECT_EQ(bindings.live(key), u"");
        EXPECT_EQ(bindings.pathCopy(key), u"");
    }
    RegHandle handle = 0;
    EXPECT_NE(store->openKey(kSettingsRoot, kSettingsKeyPath, &handle), ERROR_SUCCESS);
}

TEST_F(BindingSetTest, LoadingFillsBothCopiesUntrimmedAndIgnoresOtherTypes)
{
    storeValue(FunctionKey::F6, u"  /opt/with spaces/tool  ");
    storeValue(FunctionKey::F12, u"/home/u/notes.txt");
    RegHandle key = 0;
    ASSERT_EQ(store->createKey(kSettingsRoot, kSettingsKeyPath, &key), ERROR_SUCCESS);
    const std::uint8_t dword[4] = {1, 0, 0, 0};
    store->setValue(key, u"F9", REG_DWORD, dword, 4);
    store->closeKey(key);

    bindings.load(*store);
    EXPECT_EQ(bindings.live(FunctionKey::F6), u"  /opt/with spaces/tool  ");
    EXPECT_EQ(bindings.pathCopy(FunctionKey::F6), u"  /opt/with spaces/tool  ");
    EXPECT_EQ(bindings.live(FunctionKey::F12), u"/home/u/notes.txt");
    EXPECT_EQ(bindings.live(FunctionKey::F9), u"");
}

TEST_F(BindingSetTest, SavingWithEveryRowEmptyCreatesSevenEmptyValues)
{
    bindings.load(*store);
    ASSERT_TRUE(bindings.save(*store).ok);
    for (auto key : kFunctionKeys)
        EXPECT_EQ(stored(key), u"") << keyLabel(key);
}

TEST_F(BindingSetTest, BrowseThenCancelIsLiveButNotStored)
{
    storeValue(FunctionKey::F6, u"/old");
    bindings.load(*store);
    bindings.browse(FunctionKey::F6, u"/new");
    EXPECT_EQ(bindings.live(FunctionKey::F6), u"/new");
    EXPECT_EQ(bindings.pathCopy(FunctionKey::F6), u"/new");
    EXPECT_EQ(stored(FunctionKey::F6), u"/old");

    BindingSet restarted;
    restarted.load(*store);
    EXPECT_EQ(restarted.live(FunctionKey::F6), u"/old");
}

TEST_F(BindingSetTest, BrowseThenOkReachesAllThreeCopies)
{
    bindings.load(*store);
    bindings.browse(FunctionKey::F7, u"/usr/bin/gimp");
    ASSERT_TRUE(bindings.save(*store).ok);
    EXPECT_EQ(stored(FunctionKey::F7), u"/usr/bin/gimp");
    EXPECT_EQ(bindings.live(FunctionKey::F7), u"/usr/bin/gimp");
    EXPECT_EQ(bindings.pathCopy(FunctionKey::F7), u"/usr/bin/gimp");
}

TEST_F(BindingSetTest, ClearingEmptiesTheLiveCopyOnly)
{
    storeValue(FunctionKey::F12, u"/bin/f12");
    bindings.load(*store);
    bindings.clear(FunctionKey::F12);
    ASSERT_TRUE(bindings.save(*store).ok);
    EXPECT_EQ(stored(FunctionKey::F12), u"");
    EXPECT_EQ(bindings.live(FunctionKey::F12), u"");
    EXPECT_EQ(bindings.pathCopy(FunctionKey::F12), u"/bin/f12");
}

TEST_F(BindingSetTest, WhichKeysHaveFilesIsToldAfterLoadingBrowseAndClearing)
{
    std::vector<KeySelection> told;
    bindings.setLiveObserver([&] { told.push_back(bindings.keysWithFiles()); });
    storeValue(FunctionKey::F8, u"/bin/f8");
    bindings.load(*store);
    bindings.browse(FunctionKey::F12, u"/bin/f12");
    bindings.clear(FunctionKey::F8);
    const std::vector<KeySelection> expected{{false, false, true, false, false, false, false},
                                             {false, false, true, false, false, false, true},
                                             {false, false, false, false, false, false, true}};
    EXPECT_EQ(told, expected);
}

TEST_F(BindingSetTest, AFailedSaveIsReportedAfterTryingEveryValue)
{
    bindings.load(*store);
    bindings.browse(FunctionKey::F6, u"/x");
    test::GuardedRegistry readOnly(*store);
    readOnly.refuseSet = true;
    const auto result = bindings.save(readOnly);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.reason, "refused by the test");
    EXPECT_EQ(readOnly.setAttempts, 7);
    EXPECT_FALSE(stored(FunctionKey::F6).has_value());
}

TEST_F(BindingSetTest, ASaveGivesUpOnABusyStoreAtOnce)
{
    bindings.load(*store);
    test::GuardedRegistry busy(*store);
    busy.busy = true;
    EXPECT_FALSE(bindings.save(busy).ok);
    EXPECT_EQ(busy.setAttempts, 1);
}

// The store changes by another hand while the program runs.
TEST_F(BindingSetTest, RowsLeftAloneFollowTheStoreAndEditedRowsKeepTheUsersValue)
{
    storeValue(FunctionKey::F6, u"/old/six");
    storeValue(FunctionKey::F7, u"/old/seven");
    bindings.load(*store);
    int told = 0;
    bindings.setLiveObserver([&] { ++told; });
    bindings.browse(FunctionKey::F7, u"/mine");

    storeValue(FunctionKey::F6, u"/outside/six");
    storeValue(FunctionKey::F7, u"/outside/seven");
    ASSERT_TRUE(bindings.load(*store).ok);
    EXPECT_EQ(bindings.live(FunctionKey::F6), u"/outside/six");
    EXPECT_EQ(bindings.pathCopy(FunctionKey::F6), u"/outside/six");
    EXPECT_EQ(bindings.live(FunctionKey::F7), u"/mine");
    EXPECT_EQ(told, 2);

    // Saved before the change was noticed: it is not taken back either.
    storeValue(FunctionKey::F8, u"/outside/eight");
    ASSERT_TRUE(bindings.save(*store).ok);
    EXPECT_EQ(stored(FunctionKey::F6), u"/outside/six");
    EXPECT_EQ(stored(FunctionKey::F7), u"/mine");
    EXPECT_EQ(stored(FunctionKey::F8), u"/outside/eight");
    EXPECT_EQ(bindings.live(FunctionKey::F8), u"/outside/eight");
}

TEST_F(BindingSetTest, AStoreUnreadableAtStartIsNeverSavedOverAndLoadsOnceReadable)
{
    storeValue(FunctionKey::F6, u"/kept/six");
    test::GuardedRegistry damaged(*store);
    damaged.failReads = true;
    const auto loaded = bindings.load(damaged);
    EXPECT_FALSE(loaded.ok);
    EXPECT_EQ(loaded.reason, "unreadable in the test");
    EXPECT_EQ(bindings.live(FunctionKey::F6), u"");

    bindings.browse(FunctionKey::F9, u"/mine");
    EXPECT_FALSE(bindings.save(damaged).ok);
    EXPECT_EQ(damaged.setAttempts, 0);

    damaged.failReads = false;
    ASSERT_TRUE(bindings.load(damaged).ok);
    EXPECT_EQ(bindings.live(FunctionKey::F6), u"/kept/six");
    EXPECT_EQ(bindings.pathCopy(FunctionKey::F6), u"/kept/six");
    ASSERT_TRUE(bindings.save(damaged).ok);
    EXPECT_EQ(stored(FunctionKey::F6), u"/kept/six");
    EXPECT_EQ(stored(FunctionKey::F9), u"/mine");
}

// A program that moved its settings: the new key, and two places where earlier
// programs kept them, the first one preferred.
class MovedSettingsTest : public BindingSetTest {
protected:
    const SettingsKey current{HKEY_LOCAL_MACHINE, u"Software\\New\\Place"};
    const SettingsKey preferred{HKEY_LOCAL_MACHINE, u"Software\\Copied\\Place"};
    const SettingsKey oldest{HKEY_LOCAL_MACHINE, u"Software\\Old\\Place"};
    BindingSet moved{SettingsPlaces{current, {preferred, oldest}}};

    void put(const SettingsKey &place, FunctionKey key, const std::u16string &path)
    {
        ASSERT_TRUE(WriteRegString(*store, place.root, place.path, name(key), path).ok);
    }
    std::optional<std::u16string> at(const SettingsKey &place, FunctionKey key)
    {
        return ReadRegString(*store, place.root, place.path, name(key));
    }
    bool exists(const SettingsKey &place)
    {
        RegHandle handle = 0;
        const bool found = store->openKey(place.root, place.path, &handle) == ERROR_SUCCESS;
        if (found)
            store->closeKey(handle);
        return found;
    }
};

TEST_F(MovedSettingsTest, WithoutTheKeyEachValueComesFromTheFirstEarlierPlaceHoldingItAndNothingIsWritten)
{
    put(oldest, FunctionKey::F6, u"C:\\old six.exe");
    put(oldest, FunctionKey::F7, u"C:\\old seven.exe");
    put(preferred, FunctionKey::F7, u"C:\\copied seven.exe");
    ASSERT_TRUE(moved.load(*store).ok);
    EXPECT_EQ(moved.live(FunctionKey::F6), u"C:\\old six.exe");
    EXPECT_EQ(moved.pathCopy(FunctionKey::F6), u"C:\\old six.exe");
    EXPECT_EQ(moved.live(FunctionKey::F7), u"C:\\copied seven.exe");
    EXPECT_EQ(moved.live(FunctionKey::F8), u"");
    EXPECT_FALSE(exists(current));
}

TEST_F(MovedSettingsTest, SavingWritesOnlyTheKeyAndFromThenOnTheEarlierPlacesAreNotRead)
{
    put(oldest, FunctionKey::F6, u"C:\\old six.exe");
    put(oldest, FunctionKey::F9, u"C:\\old nine.exe");
    moved.load(*store);
    moved.browse(FunctionKey::F6, u"C:\\new six.exe");
    ASSERT_TRUE(moved.save(*store).ok);
    EXPECT_EQ(at(current, FunctionKey::F6), u"C:\\new six.exe");
    EXPECT_EQ(at(current, FunctionKey::F9), u"C:\\old nine.exe");
    EXPECT_EQ(at(oldest, FunctionKey::F6), u"C:\\old six.exe");
    EXPECT_FALSE(exists(preferred));

    // A value cleared in the new key stays cleared, whatever the old one holds.
    moved.clear(FunctionKey::F9);
    ASSERT_TRUE(moved.save(*store).ok);
    BindingSet restarted{SettingsPlaces{current, {preferred, oldest}}};
    ASSERT_TRUE(restarted.load(*store).ok);
    EXPECT_EQ(restarted.live(FunctionKey::F9), u"");
    EXPECT_EQ(restarted.live(FunctionKey::F6), u"C:\\new six.exe");
}

} // namespace
