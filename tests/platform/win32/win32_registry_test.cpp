#include "platform/win32/win32_registry.h"

#include "bindings/Registry_Module.h"
#include "bindings/settings_key.h"
#include "platform/win32/system_message.h"
#include "raw_registry.h"

#include "platform/utf16le.h"

#include <gtest/gtest.h>

using namespace vantrel;
using namespace vantrel::platform;
using Registry_Module::ReadRegString;
using Registry_Module::WriteRegString;
using windows_backend::systemMessage;
using windows_backend::Win32Registry;
namespace raw = vantrel::test::raw_registry;

namespace {

const std::u16string kVendorKey = u"Software\\Morvask";

bool contains(const std::string &text, const std::string &part) { return text.find(part) != std::string::npos; }

// The machine's real settings key, as the program uses it, cleared around each test.
class Win32RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { raw::deleteTree(kVendorKey); }
    void TearDown() override { raw::deleteTree(kVendorKey); }

    std::optional<std::u16string> read(const std::u16string &name, const std::u16string &path = kSettingsKeyPath)
    {
        return ReadRegString(registry, kSettingsRoot, path, name);
    }
    Registry_Module::WriteResult write(const std::u16string &name, const std::u16string &data,
                                       const std::u16string &path = kSettingsKeyPath)
    {
        return WriteRegString(registry, kSettingsRoot, path, name, data);
    }

    Win32Registry registry;
};

TEST_F(Win32RegistryTest, ReadsValuesThatOtherToolsWrote)
{
    raw::setValue(kSettingsKeyPath, u"F6", REG_EXPAND_SZ,
                  toUtf16le(std::u16string(u"%SystemRoot%\\notepad.exe\0", 26)));
    raw::setValue(kSettingsKeyPath, u"F7", REG_DWORD, {0x2a, 0, 0, 0});
    raw::setValue(kSettingsKeyPath, u"F8", REG_SZ, toUtf16le(u"C:\\Tools\\no terminator.exe"));
    raw::setValue(kSettingsKeyPath, u"F9", REG_SZ, toUtf16le(std::u16string(u"C:\\a.exe\0C:\\b.exe\0", 18)));

    EXPECT_FALSE(read(u"F6").has_value());
    EXPECT_FALSE(read(u"F7").has_value());
    EXPECT_EQ(read(u"F8"), u"C:\\Tools\\no terminator.exe");
    EXPECT_EQ(read(u"F9"), u"C:\\a.exe");
}

TEST_F(Win32RegistryTest, SharesValuesWithTheNarrowCallsOfTheOriginalProgram)
{
    const std::u16string path = u"C:\\Programme\\\u00dcbung\\Z\u00e4hler.exe";
    const auto ansi = raw::toAnsi(path);
    if (!ansi)
        GTEST_SKIP() << "the system's code page cannot hold the sample path";

    raw::setAnsiString(kSettingsKeyPath, u"F10", *ansi + '\0');
    EXPECT_EQ(read(u"F10"), path);

    ASSERT_TRUE(write(u"F11", path).ok);
    EXPECT_EQ(raw::ansiString(kSettingsKeyPath, u"F11"), *ansi + '\0');
}

TEST_F(Win32RegistryTest, CharactersOutsideEveryCodePageAreStoredAsWritten)
{
    const std::u16string path = u"C:\\\u65e5\u672c\\\U0001F525 \u0416\u00e9.exe";
    ASSERT_TRUE(write(u"F8", path).ok);
    std::uint32_t type = 0;
    EXPECT_EQ(raw::value(kSettingsKeyPath, u"F8", &type), toUtf16le(path + u'\0'));
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(read(u"F8"), path);
}

TEST_F(Win32RegistryTest, FindsAKeyInOtherLetterCaseAndKeepsItsCase)
{
    raw::setValue(u"SOFTWARE\\MORVASK\\QUINTOR", u"F6", REG_SZ, toUtf16le(std::u16string(u"C:\\x.exe\0", 9)));
    EXPECT_EQ(read(u"F6"), u"C:\\x.exe");

    ASSERT_TRUE(write(u"F7", u"C:\\y.exe").ok);
    EXPECT_EQ(raw::subkeyNames(kVendorKey), std::vector<std::u16string>{u"QUINTOR"});
    EXPECT_EQ(read(u"F7", u"software\\morvask\\quintor"), u"C:\\y.exe");
}

// On 64-bit Windows a 32-bit program such as the original sees
// Software\WOW6432Node as Software.
TEST_F(Win32RegistryTest, KeepsTheSettingsWhereA32BitProgramHasThem)
{
    const std::u16string wowPath = u"Software\\WOW6432Node\\Morvask\\Quintor";
    raw::setValue(wowPath, u"F12", REG_SZ, toUtf16le(std::u16string(u"C:\\old.exe\0", 11)), raw::View::Native);
    EXPECT_EQ(read(u"F12"), u"C:\\old.exe");

    ASSERT_TRUE(write(u"F6", u"C:\\new.exe").ok);
    std::uint32_t type = 0;
    EXPECT_EQ(raw::value(wowPath, u"F6", &type, raw::View::Native), toUtf16le(std::u16string(u"C:\\new.exe\0", 11)));
}

TEST_F(Win32RegistryTest, AKeyThatMayNotBeOpenedReadsAsAbsentAndRefusesWritesWithTheReason)
{
    ASSERT_TRUE(write(u"F6", u"C:\\x.exe").ok);
    const raw::DeniedKey denied(kSettingsKeyPath);

    EXPECT_FALSE(read(u"F6").has_value());
    const auto result = write(u"F6", u"C:\\y.exe");
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(contains(result.reason, "HKEY_LOCAL_MACHINE\\Software\\Morvask\\Quintor")) << result.reason;
    EXPECT_TRUE(contains(result.reason, systemMessage(5))) << result.reason;
}

// As for a user without the right to write under HKEY_LOCAL_MACHINE.
TEST_F(Win32RegistryTest, AKeyThatMayNotBeCreatedFailsTheWriteWithTheReason)
{
    raw::createKey(kVendorKey);
    const raw::DeniedKey denied(kVendorKey);

    const auto result = write(u"F6", u"C:\\x.exe");
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(contains(result.reason, "HKEY_LOCAL_MACHINE\\Software\\Morvask\\Quintor")) << result.reason;
    EXPECT_TRUE(contains(result.reason, systemMessage(5))) << result.reason;
}

TEST_F(Win32RegistryTest, TheWatchSeesTheKeyMadeAndItsValuesChanged)
{
    std::string error;
    const auto watch = registry.watchKey(kSettingsRoot, kSettingsKeyPath, &error);
    ASSERT_TRUE(watch) << error;
    const auto changed = [&] { return raw::signalledWithin(watch->wakeup().event, 20000) && watch->collect(); };
    raw::setValue(kSettingsKeyPath, u"F6", REG_SZ, toUtf16le(std::u16string(u"a\0", 2)));
    EXPECT_TRUE(changed());
    raw::setValue(kSettingsKeyPath, u"F6", REG_SZ, toUtf16le(std::u16string(u"b\0", 2)));
    EXPECT_TRUE(changed());
    EXPECT_FALSE(watch->collect());
}

TEST_F(Win32RegistryTest, NamesHoldingANulAreRefusedRatherThanCut)
{
    ASSERT_TRUE(write(u"F6", u"kept").ok);
    EXPECT_FALSE(write(std::u16string(u"F6\0other", 8), u"lost").ok);
    EXPECT_FALSE(write(u"F6", u"lost", kSettingsKeyPath + std::u16string(u"\0\\Other", 7)).ok);
    EXPECT_EQ(read(u"F6"), u"kept");
}

TEST(Win32RegistryHandles, AreSmallNumbersOfTheirOwnValidUntilClosed)
{
    Win32Registry registry;
    RegHandle software = 0;
    RegHandle below = 0;
    ASSERT_EQ(registry.openKey(HKEY_LOCAL_MACHINE, u"Software", &software), ERROR_SUCCESS);
    ASSERT_EQ(registry.openKey(software, u"Microsoft", &below), ERROR_SUCCESS);
    EXPECT_NE(software, 0u);
    EXPECT_NE(below, software);
    EXPECT_LT(software, 0x80000000u);
    EXPECT_LT(below, 0x80000000u);

    EXPECT_EQ(registry.closeKey(below), ERROR_SUCCESS);
    EXPECT_EQ(registry.closeKey(below), ERROR_INVALID_HANDLE);
    std::uint32_t size = 0;
    EXPECT_EQ(registry.queryValue(below, u"", nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(registry.openKey(0x80000009u, u"Software", &below), ERROR_INVALID_HANDLE);
    EXPECT_EQ(registry.closeKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
    EXPECT_EQ(registry.closeKey(software), ERROR_SUCCESS);
}

} // namespace
