#include "bindings/Registry_Module.h"

#include "fake_registry.h"
#include "support/registry_test_env.h"

#include "platform/utf16le.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vantrel;
using namespace vantrel::platform;
using Registry_Module::ReadRegString;
using Registry_Module::TrimAtNull;
using Registry_Module::WriteRegString;

namespace {

const std::u16string kPath = u"Software\\Morvask\\Quintor";

class RegistryModuleTest : public ::testing::Test {
protected:
    std::unique_ptr<Registry> store = test::makeEmptyRegistry();

    // Stores a value the way another tool might, whatever its type.
    void putRaw(const std::u16string &name, std::uint32_t type, const std::vector<std::uint8_t> &data)
    {
        RegHandle key = 0;
        ASSERT_EQ(store->createKey(HKEY_LOCAL_MACHINE, kPath, &key), ERROR_SUCCESS);
        ASSERT_EQ(store->setValue(key, name, type, data.data(), static_cast<std::uint32_t>(data.size())),
                  ERROR_SUCCESS);
        store->closeKey(key);
    }

    bool keyExists(const std::u16string &path)
    {
        RegHandle key = 0;
        if (store->openKey(HKEY_LOCAL_MACHINE, path, &key) != ERROR_SUCCESS)
            return false;
        store->closeKey(key);
        return true;
    }
};

TEST(TrimAtNull, CutsAtTheFirstNulWherever)
{
    EXPECT_EQ(TrimAtNull(u"abc"), u"abc");
    EXPECT_EQ(TrimAtNull(std::u16string(u"a\0b", 3)), u"a");
    EXPECT_EQ(TrimAtNull(std::u16string(u"\0abc", 4)), u"");
    EXPECT_EQ(TrimAtNull(u""), u"");
    std::u16string longText(70000, u'x');
    longText[50000] = u'\0';
    EXPECT_EQ(TrimAtNull(longText).size(), 50000u);
}

TEST_F(RegistryModuleTest, ReadingFromAMissingKeyIsAbsentAndCreatesNothing)
{
    EXPECT_FALSE(ReadRegString(*store, HKEY_LOCAL_MACHINE, kPath, u"F6").has_value());
    EXPECT_FALSE(keyExists(kPath));
    EXPECT_FALSE(keyExists(u"Software"));
}

TEST_F(RegistryModuleTest, MissingValueIsAbsentButEmptyStringIsEmptyText)
{
    putRaw(u"F6", REG_SZ, {0, 0});
    EXPECT_FALSE(ReadRegString(*store, HKEY_LOCAL_MACHINE, kPath, u"F7").has_value());
    const auto empty = ReadRegString(*store, HKEY_LOCAL_MACHINE, kPath, u"F6");
    ASSERT_TRUE(empty.has_value());
    EXPECT_EQ(*empty, u"");
}

TEST_F(RegistryModuleTest, OnlyPlainStringsAreRead)
{
    putRaw(u"expand", REG_EXPAND_SZ, toUtf16le(std::u16string(u"%HOME%\0", 7)));
    putRaw(u"multi", REG_MULTI_SZ, toUtf16le(std::u16string(u"a\0b\0\0", 5)));
    putRaw(u"dword", REG_DWORD, {1, 0, 0, 0});
    putRaw(u"binary", REG_BINARY, toUtf16le(std::u16string(u"text\0", 5)));
    for (const char16_t *name : {u"expand", u"multi", u"dword", u"binary"})
        EXPECT_FALSE(ReadRegString(*store, HKEY_LOCAL_MACHINE, kPath, name).has_value());
}

TEST_F(RegistryModuleTest, ValuesFromOtherToolsAreCutAtTheirFirstNulOrTakenWhole)
{
    putRaw(u"embedded", REG_SZ, toUtf16le(std::u16string(u"a\0b\0", 4)));
    putRaw(u"unterminated", REG_SZ, toUtf16le(u"no terminator"));
    putRaw(u"odd", REG_SZ, {'a', 0, 'b'});
    EXPECT_EQ(ReadRegString(*store, HKEY_LOCAL_MACHINE, kPath, u"embedded"), u"a");
    EXPECT_EQ(ReadRegString(*store, HKEY_LOCAL_MACHINE, kPath, u"unterminated"), u"no terminator");
    // The odd last byte lands in the low half of a space-filled code unit.
    EXPECT_EQ(ReadRegString(*store, HKEY_LOCAL_MACHINE, kPath, u"odd"), u"ab");
}

TEST_F(RegistryModuleTest, WritesCreateThePathAndRoundTripEveryCharacter)
{
    const std::u16string samples[] = {
        u"",
        u"  /home/user/My Documents/report.odt  ",
        u"C:\\Programme\\Übung\\ñandú.exe",
        u"/tmp/\u65e5\u672c\u8a9e/\U0001F525.sh",
        std::u16string(1, char16_t(0xDC80)) + u"lone surrogate",
        std::u16string(40000, u'\u00e9'),
    };
    int n = 0;
    for (const auto &text : samples) {
        const std::u16string name = u"v" + std::u16string(1, char16_t(u'0' + n++));
        const auto result = WriteRegString(*store, HKEY_LOCAL_MACHINE, kPath, name, text);
        ASSERT_TRUE(result.ok) << result.reason;
        EXPECT_EQ(ReadRegString(*store, HKEY_LOCAL_MACHINE, kPath, name), text);
    }
}

TEST_F(RegistryModuleTest, WrittenValueIsATerminatedPlainString)
{
    ASSERT_TRUE(WriteRegString(*store, HKEY_LOCAL_MACHINE, kPath, u"F6", u"ab").ok);
    RegHandle key = 0;
    ASSERT_EQ(store->openKey(HKEY_LOCAL_MACHINE, kPath, &key), ERROR_SUCCESS);
    std::uint32_t type = 0, size = 0;
    ASSERT_EQ(store->queryValue(key, u"F6", &type, nullptr, &size), ERROR_SUCCESS);
    store->closeKey(key);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 6u);
}

TEST_F(RegistryModuleTest, KeyPathsIgnoreLetterCase)
{
    ASSERT_TRUE(WriteRegString(*store, HKEY_LOCAL_MACHINE, kPath, u"F8", u"/usr/bin/xterm").ok);
    EXPECT_EQ(ReadRegString(*store, HKEY_LOCAL_MACHINE, u"SOFTWARE\\morvask\\QUINTOR", u"F8"), u"/usr/bin/xterm");
    ASSERT_TRUE(WriteRegString(*store, HKEY_LOCAL_MACHINE, u"software\\MORVASK\\quintor", u"F9", u"x").ok);
    EXPECT_EQ(ReadRegString(*store, HKEY_LOCAL_MACHINE, kPath, u"F9"), u"x");
}

TEST_F(RegistryModuleTest, EveryKeyOpenedIsClosedAgain)
{
    test::GuardedRegistry guarded(*store);
    WriteRegString(guarded, HKEY_LOCAL_MACHINE, kPath, u"F6", u"x");
    ReadRegString(guarded, HKEY_LOCAL_MACHINE, kPath, u"F6");
    ReadRegString(guarded, HKEY_LOCAL_MACHINE, kPath, u"missing");
    ReadRegString(guarded, HKEY_LOCAL_MACHINE, u"No\\Such\\Key", u"F6");
    guarded.refuseSet = true;
    WriteRegString(guarded, HKEY_LOCAL_MACHINE, kPath, u"F6", u"y");
    EXPECT_EQ(guarded.openHandles(), 0u);
}

TEST_F(RegistryModuleTest, AFailedWriteIsReportedWithItsReason)
{
    test::GuardedRegistry guarded(*store);
    guarded.refuseCreate = true;
    auto result = WriteRegString(guarded, HKEY_LOCAL_MACHINE, kPath, u"F6", u"x");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.reason, "refused by the test");

    guarded.refuseCreate = false;
    guarded.refuseSet = true;
    result = WriteRegString(guarded, HKEY_LOCAL_MACHINE, kPath, u"F6", u"x");
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(ReadRegString(*store, HKEY_LOCAL_MACHINE, kPath, u"F6").has_value());
}

} // namespace
