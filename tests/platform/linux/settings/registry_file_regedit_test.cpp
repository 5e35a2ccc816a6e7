// The settings file and the registry editor of Wine: a file regedit exported
// and Vantrel rewrote must import back into regedit as Vantrel left it.
#include "registry_file_fixture.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using namespace vantrel;
using namespace vantrel::platform;
using test::put;
using test::sz;

namespace {

const std::u16string kQuintor = u"Software\\Morvask\\Quintor";
const std::string kKey = "HKEY_LOCAL_MACHINE\\Software\\Morvask\\Quintor";

std::string utf16File(const std::u16string &text)
{
    const auto units = toUtf16le(text);
    return "\xFF\xFE" + std::string(units.begin(), units.end());
}

std::u16string textOfUtf16File(const std::string &bytes)
{
    EXPECT_TRUE(bytes.starts_with("\xFF\xFE"));
    return fromUtf16le(std::string_view(bytes).substr(bytes.size() < 2 ? bytes.size() : 2));
}

// A fresh prefix for each case, in the build tree (cases may run side by
// side), with one wineserver kept for all of the case.
class RegeditTest : public test::RegistryFileTest {
protected:
    void SetUp() override
    {
        if (std::string(WINE_EXECUTABLE).empty())
            GTEST_SKIP() << "wine is not installed";
        prefix_ = std::string(WINE_PREFIX_DIR) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::filesystem::remove_all(prefix_);
        ::setenv("WINEPREFIX", prefix_.c_str(), 1);
        ::setenv("WINEDEBUG", "-all", 1);
        ::setenv("WINEDLLOVERRIDES", "mscoree,mshtml=;winemenubuilder.exe=d", 1);
        // Without wine32 wineboot fails on the 32-bit half of the prefix,
        // which regedit does not need.
        std::system("wineserver -p >/dev/null 2>&1; timeout 120 wineboot -i >/dev/null 2>&1");
        ASSERT_TRUE(std::filesystem::exists(prefix_ / "drive_c" / "windows")) << "wineboot failed in " << prefix_;
    }
    void TearDown() override
    {
        if (prefix_.empty())
            return;
        // A prefix is hundreds of megabytes.
        std::system("wineserver -k >/dev/null 2>&1; wineserver -w >/dev/null 2>&1");
        std::error_code ignored;
        std::filesystem::remove_all(prefix_, ignored);
    }

    static std::string windowsPath(const std::filesystem::path &path)
    {
        std::string shown = "Z:" + path.string();
        for (char &c : shown)
            c = c == '/' ? '\\' : c;
        return shown;
    }
    static bool regedit(const std::string &arguments)
    {
        return std::system(("timeout 60 wine regedit " + arguments + " >/dev/null 2>&1").c_str()) == 0;
    }
    static bool importFile(const std::filesystem::path &path) { return regedit("/S '" + windowsPath(path) + "'"); }
    static bool exportKey(const std::filesystem::path &path)
    {
        return regedit("/E '" + windowsPath(path) + "' '" + kKey + "'");
    }
    static void deleteKey() { regedit("/D '" + kKey + "'"); }

    // "&OK": all seven values, F7 newly browsed.
    void saveLikeOk()
    {
        const auto store = openStore();
        ASSERT_EQ(put(*store, kQuintor, u"F6", REG_SZ, sz(u"C:\\prog-\u00fc\\a.exe")), ERROR_SUCCESS);
        ASSERT_EQ(put(*store, kQuintor, u"F7", REG_SZ, sz(u"C:\\prog-\u00fc\\b.exe")), ERROR_SUCCESS);
        for (const char16_t *name : {u"F8", u"F9", u"F10", u"F11", u"F12"})
            ASSERT_EQ(put(*store, kQuintor, name, REG_SZ, sz(u"")), ERROR_SUCCESS);
    }

    // What regedit holds after importing the rewritten file.
    void expectRegeditReadsWhatWasSaved()
    {
        deleteKey();
        ASSERT_TRUE(importFile(file));
        const auto exported = folder / "after.reg";
        ASSERT_TRUE(exportKey(exported));
        std::ifstream in(exported, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        // regedit lists the values by name.
        EXPECT_EQ(textOfUtf16File(bytes), u"Windows Registry Editor Version 5.00\r\n\r\n"
                                          u"[HKEY_LOCAL_MACHINE\\Software\\Morvask\\Quintor]\r\n"
                                          u"\"F10\"=\"\"\r\n\"F11\"=\"\"\r\n\"F12\"=\"\"\r\n"
                                          u"\"F6\"=\"C:\\\\prog-\u00fc\\\\a.exe\"\r\n"
                                          u"\"F7\"=\"C:\\\\prog-\u00fc\\\\b.exe\"\r\n"
                                          u"\"F8\"=\"\"\r\n\"F9\"=\"\"\r\n"
                                          u"\"Other\"=hex(7):61,00,fc,00,00,00,62,00,00,00,00,00\r\n\r\n");
    }

    std::filesystem::path prefix_;
};

TEST_F(RegeditTest, AnExportOfRegeditStaysUtf16AndImportsBackUnchanged)
{
    std::filesystem::create_directories(folder);
    const auto source = folder / "source.reg";
    std::ofstream(source, std::ios::binary)
        << utf16File(u"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Morvask\\Quintor]\r\n"
                     u"\"F6\"=\"C:\\\\prog-\u00fc\\\\a.exe\"\r\n"
                     u"\"Other\"=hex(7):61,00,fc,00,00,00,62,00,00,00,00,00\r\n");
    deleteKey();
    ASSERT_TRUE(importFile(source));
    ASSERT_TRUE(exportKey(file));

    saveLikeOk();
    const auto written = readFile();
    ASSERT_TRUE(written && written->starts_with("\xFF\xFE")) << "no longer UTF-16LE with its byte-order mark";
    expectRegeditReadsWhatWasSaved();
}

TEST_F(RegeditTest, ARegedit4FileStaysAnsiAndImportsBackUnchanged)
{
    writeFile("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Morvask\\Quintor]\r\n"
              "\"F6\"=\"C:\\\\prog-\xFC\\\\a.exe\"\r\n"
              "\"Other\"=hex(7):61,fc,00,62,00,00\r\n");
    saveLikeOk();
    const auto written = readFile();
    ASSERT_TRUE(written && written->starts_with("REGEDIT4\r\n")) << *written;
    EXPECT_NE(written->find("\"F7\"=\"C:\\\\prog-\xFC\\\\b.exe\"\r\n"), std::string::npos) << *written;
    expectRegeditReadsWhatWasSaved();
}

} // namespace
