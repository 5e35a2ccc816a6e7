#include "platform/linux/settings/locked_file.h"
#include "platform/linux/settings/reg_text_format.h"
#include "registry_file_fixture.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

using namespace vantrel;
using namespace vantrel::platform;
using namespace vantrel::platform::linux_backend;
using test::Bytes;
using test::put;
using test::sz;

namespace {

const std::u16string kQuintor = u"Software\\Morvask\\Quintor";

// The value's type and data, or nothing when it cannot be read.
std::optional<std::pair<std::uint32_t, Bytes>> get(Registry &store, const std::u16string &path,
                                                   const std::u16string &name)
{
    RegHandle key = 0;
    if (store.openKey(HKEY_LOCAL_MACHINE, path, &key) != ERROR_SUCCESS)
        return std::nullopt;
    std::uint32_t type = 0, size = 0;
    std::optional<std::pair<std::uint32_t, Bytes>> result;
    if (store.queryValue(key, name, &type, nullptr, &size) == ERROR_SUCCESS) {
        Bytes data(size);
        if (store.queryValue(key, name, &type, data.data(), &size) == ERROR_SUCCESS)
            result = std::pair(type, data);
    }
    store.closeKey(key);
    return result;
}

class RegistryFileStore : public test::RegistryFileTest {
protected:
    std::unique_ptr<RegistryFile> store = openStore();
};

TEST_F(RegistryFileStore, DefaultPlaceFollowsXdgConfigHome)
{
    const char *savedConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string restoreConfig = savedConfig ? savedConfig : "";
    const char *savedHome = std::getenv("HOME");
    const std::string restoreHome = savedHome ? savedHome : "";

    setenv("HOME", "/home/someone", 1);
    setenv("XDG_CONFIG_HOME", "/elsewhere/config", 1);
    EXPECT_EQ(RegistryFile().path(), "/elsewhere/config/vantrel/registry.reg");
    for (const char *ignored : {"", "relative/config"}) {
        setenv("XDG_CONFIG_HOME", ignored, 1);
        EXPECT_EQ(RegistryFile().path(), "/home/someone/.config/vantrel/registry.reg");
    }
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(RegistryFile().path(), "/home/someone/.config/vantrel/registry.reg");

    setenv("HOME", restoreHome.c_str(), 1);
    if (savedConfig)
        setenv("XDG_CONFIG_HOME", restoreConfig.c_str(), 1);
}

TEST_F(RegistryFileStore, APathWithoutAFolderIsInTheWorkingDirectory)
{
    const auto saved = std::filesystem::current_path();
    std::filesystem::current_path(home);
    RegistryFile relative("registry.reg");
    const RegStatus status = put(relative, kQuintor, u"F6", REG_SZ, sz(u"here"));
    const auto read = get(relative, kQuintor, u"F6");
    std::filesystem::current_path(saved);
    EXPECT_EQ(status, ERROR_SUCCESS);
    EXPECT_EQ(read, std::pair(REG_SZ, sz(u"here")));
    EXPECT_TRUE(std::filesystem::is_regular_file(home / "registry.reg"));
}

TEST_F(RegistryFileStore, ReadsOfAMissingFileFindNothingAndCreateNothing)
{
    RegHandle key = 0;
    EXPECT_EQ(store->openKey(HKEY_LOCAL_MACHINE, kQuintor, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, 0u);
    std::uint32_t size = 0;
    EXPECT_EQ(store->queryValue(HKEY_LOCAL_MACHINE, u"F6", nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST_F(RegistryFileStore, FirstWriteMakesAPrivateFolderAndFile)
{
    ASSERT_EQ(put(*store, kQuintor, u"F6", REG_SZ, sz(u"/bin/true")), ERROR_SUCCESS);
    EXPECT_EQ(modeOf(folder), 0700u);
    EXPECT_EQ(modeOf(file), 0600u);
    EXPECT_EQ(readFile(), "Windows Registry Editor Version 5.00\n"
                          "\n"
                          "[HKEY_LOCAL_MACHINE\\Software]\n"
                          "\n"
                          "[HKEY_LOCAL_MACHINE\\Software\\Morvask]\n"
                          "\n"
                          "[HKEY_LOCAL_MACHINE\\Software\\Morvask\\Quintor]\n"
                          "\"F6\"=\"/bin/true\"\n");

    // A mode the user chose stays.
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    ASSERT_EQ(put(*store, kQuintor, u"F7", REG_SZ, sz(u"x")), ERROR_SUCCESS);
    EXPECT_EQ(modeOf(file), 0640u);
    EXPECT_EQ(folderEntries(), (std::vector<std::string>{"registry.reg", "registry.reg.lock"}));
}

TEST_F(RegistryFileStore, QueryValueAnswersLikeRegQueryValueEx)
{
    ASSERT_EQ(put(*store, kQuintor, u"F6", REG_SZ, sz(u"abc")), ERROR_SUCCESS);
    RegHandle key = 0;
    ASSERT_EQ(store->openKey(HKEY_LOCAL_MACHINE, kQuintor, &key), ERROR_SUCCESS);

    std::uint32_t type = 0, size = 0;
    EXPECT_EQ(store->queryValue(key, u"F6", &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 8u);

    Bytes buffer(8, 0xEE);
    size = 7;
    type = 0;
    EXPECT_EQ(store->queryValue(key, u"F6", &type, buffer.data(), &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(buffer, Bytes(8, 0xEE));

    size = 8;
    EXPECT_EQ(store->queryValue(key, u"F6", nullptr, buffer.data(), &size), ERROR_SUCCESS);
    EXPECT_EQ(buffer, sz(u"abc"));
    EXPECT_EQ(store->queryValue(key, u"F6", nullptr, buffer.data(), nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(store->queryValue(key, u"f6", nullptr, nullptr, nullptr), ERROR_SUCCESS); // names ignore case
    EXPECT_EQ(store->queryValue(key, u"F7", &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    store->closeKey(key);
}

TEST_F(RegistryFileStore, HandlesAreOpenUntilClosed)
{
    ASSERT_EQ(put(*store, kQuintor, u"F6", REG_SZ, sz(u"x")), ERROR_SUCCESS);
    RegHandle a = 0, b = 0, sub = 0;
    ASSERT_EQ(store->openKey(HKEY_LOCAL_MACHINE, kQuintor, &a), ERROR_SUCCESS);
    ASSERT_EQ(store->openKey(HKEY_LOCAL_MACHINE, u"Software", &b), ERROR_SUCCESS);
    for (RegHandle handle : {a, b}) {
        EXPECT_NE(handle, 0u);
        EXPECT_NE(handle & 0xFFFFFF00u, 0x80000000u);
    }
    EXPECT_NE(a, b);
    // A path below an open key, as RegOpenKey takes it.
    ASSERT_EQ(store->openKey(b, u"morvask\\quintor", &sub), ERROR_SUCCESS);
    EXPECT_EQ(store->queryValue(sub, u"F6", nullptr, nullptr, nullptr), ERROR_SUCCESS);

    EXPECT_EQ(store->closeKey(a), ERROR_SUCCESS);
    EXPECT_EQ(store->queryValue(a, u"F6", nullptr, nullptr, nullptr), ERROR_INVALID_HANDLE);
    EXPECT_EQ(store->closeKey(a), ERROR_INVALID_HANDLE);
    EXPECT_EQ(store->setValue(a, u"F6", REG_SZ, nullptr, 0), ERROR_INVALID_HANDLE);
    EXPECT_EQ(store->openKey(0x12345, u"x", &a), ERROR_INVALID_HANDLE);
    EXPECT_EQ(store->describeFailure(ERROR_INVALID_HANDLE), "The key handle is not open");
    EXPECT_EQ(store->closeKey(b), ERROR_SUCCESS);
    EXPECT_EQ(store->closeKey(sub), ERROR_SUCCESS);
}

TEST_F(RegistryFileStore, EveryReadSeesTheFileAsItIsNow)
{
    ASSERT_EQ(put(*store, kQuintor, u"F6", REG_SZ, sz(u"old")), ERROR_SUCCESS);
    RegHandle key = 0;
    ASSERT_EQ(store->openKey(HKEY_LOCAL_MACHINE, kQuintor, &key), ERROR_SUCCESS);
    // Another copy of the program, or the user in an editor, changes the file.
    writeFile("Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\Software\\Morvask\\Quintor]\n"
              "\"F6\"=\"new\"\n");
    std::uint32_t size = 8;
    Bytes data(8);
    EXPECT_EQ(store->queryValue(key, u"F6", nullptr, data.data(), &size), ERROR_SUCCESS);
    EXPECT_EQ(data, sz(u"new"));
    store->closeKey(key);
}

TEST_F(RegistryFileStore, AWriteKeepsEverythingElseInTheFile)
{
    const std::string handWritten = "Windows Registry Editor Version 5.00\r\n"
                                    "; my settings\r\n"
                                    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Morvask\\Quintor]\r\n"
                                    "@=\"default\"\r\n"
                                    "\"F6\"=\"old\"\r\n"
                                    "\"embedded\"=hex(1):61,00,00,00,62,00,00,00\r\n"
                                    "\"unterminated\"=hex(1):61,00\r\n"
                                    "\"expand\"=hex(2):25,00,00,00\r\n"
                                    "\"multi\"=hex(7):00,00\r\n"
                                    "\"dword\"=dword:00000001\r\n"
                                    "\"qword\"=hex(b):01,00,00,00,00,00,00,00\r\n"
                                    "\"binary\"=hex:\r\n"
                                    "\"none\"=hex(0):00\r\n"
                                    "\"odd type\"=hex(123):07\r\n"
                                    "[HKEY_CURRENT_USER\\Empty\\Key]\r\n"
                                    "; the end\r\n";
    writeFile(handWritten);

    ASSERT_EQ(put(*store, u"software\\morvask\\quintor", u"F7", REG_SZ, sz(u"new")), ERROR_SUCCESS);
    ASSERT_EQ(put(*store, u"software\\morvask\\quintor", u"f6", REG_SZ, sz(u"changed")), ERROR_SUCCESS);

    const auto after = parseRegText(*readFile());
    ASSERT_TRUE(after.document) << after.error.describe();
    RegDocument expected = *parseRegText(handWritten).document;
    RegKey &quintor =
        expected.top.subkey(u"HKEY_LOCAL_MACHINE").subkey(u"Software").subkey(u"Morvask").subkey(u"Quintor");
    quintor.setValue(u"F7", REG_SZ, sz(u"new"));
    quintor.setValue(u"F6", REG_SZ, sz(u"changed"));
    EXPECT_TRUE(*after.document == expected) << *readFile();
    // With the line ends it came with.
    EXPECT_NE(readFile()->find("; my settings\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Morvask\\Quintor]\r\n"),
              std::string::npos);
}

TEST_F(RegistryFileStore, AFileLinkedInFromElsewhereIsUpdatedWhereItLives)
{
    const auto dotfiles = home / "dotfiles";
    std::filesystem::create_directories(dotfiles);
    std::filesystem::create_directories(folder);
    std::ofstream(dotfiles / "registry.reg") << "Windows Registry Editor Version 5.00\n";
    std::filesystem::create_symlink(dotfiles / "registry.reg", file);

    ASSERT_EQ(put(*store, u"Software\\Morvask\\Quintor", u"F6", REG_SZ, sz(u"/bin/true")), ERROR_SUCCESS);
    EXPECT_TRUE(std::filesystem::is_symlink(file));
    std::ifstream linked(dotfiles / "registry.reg");
    const std::string text((std::istreambuf_iterator<char>(linked)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("\"F6\"=\"/bin/true\""), std::string::npos) << text;
}

TEST_F(RegistryFileStore, ALinkToAFileNotYetThereIsWrittenThroughAndLinksShareALock)
{
    const auto dotfiles = home / "dotfiles";
    std::filesystem::create_directories(dotfiles);
    std::filesystem::create_directories(folder);
    std::filesystem::create_symlink("../dotfiles/registry.reg", file);

    ASSERT_EQ(put(*store, kQuintor, u"F6", REG_SZ, sz(u"/bin/true")), ERROR_SUCCESS);
    EXPECT_TRUE(std::filesystem::is_symlink(file));
    EXPECT_TRUE(std::filesystem::is_regular_file(dotfiles / "registry.reg"));
    EXPECT_EQ(get(*store, kQuintor, u"F6"), std::pair(REG_SZ, sz(u"/bin/true")));

    const auto secondLink = home / "second.reg";
    std::filesystem::create_symlink(dotfiles / "registry.reg", secondLink);
    FileLock held;
    ASSERT_FALSE(FileLock::acquire((dotfiles / "registry.reg.lock").string(), std::chrono::milliseconds(0), held));
    for (const auto &path : {file, secondLink}) {
        RegistryFile linked(path.string(), std::chrono::milliseconds(0));
        EXPECT_EQ(put(linked, kQuintor, u"F6", REG_SZ, sz(u"x")), ERROR_SHARING_VIOLATION) << path;
    }
}

TEST_F(RegistryFileStore, KeyNamesIgnoreCaseInAnyScriptAndKeepTheirFirstSpelling)
{
    const std::u16string path = u"Software\\\u00dcbung\\\u03a3\u03bf\u03c6\u03af\u03b1\\\u0416";
    ASSERT_EQ(put(*store, path, u"F6", REG_SZ, sz(u"x")), ERROR_SUCCESS);
    const std::string written = *readFile();

    RegHandle key = 0;
    EXPECT_EQ(
        store->createKey(HKEY_LOCAL_MACHINE, u"SOFTWARE\\\u00fcBUNG\\\u03c3\u039f\u03a6\u038a\u0391\\\u0436", &key),
        ERROR_SUCCESS);
    store->closeKey(key);
    EXPECT_EQ(readFile(), written); // nothing new: the key was there
    EXPECT_NE(written.find("[HKEY_LOCAL_MACHINE\\Software\\\xC3\x9C"
                           "bung\\\xCE\xA3\xCE\xBF\xCF\x86\xCE\xAF\xCE\xB1\\\xD0\x96]"),
              std::string::npos);
    EXPECT_TRUE(get(*store, u"software\\\u00fcbung\\\u03c3\u03bf\u03c6\u03af\u03b1\\\u0436", u"f6"));
    EXPECT_FALSE(get(*store, u"Software\\Ubung\\\u03a3\u03bf\u03c6\u03af\u03b1\\\u0416", u"F6"));
}

TEST_F(RegistryFileStore, NamesWindowsDoesNotUpperCaseAlikeStayApart)
{
    const std::u16string pairs[][2] = {{u"stra\u00dfe", u"STRA\u1e9eE"}, {u"\u212a", u"K"}, {u"\u2126", u"\u03a9"}};
    for (const auto &pair : pairs) {
        for (int i = 0; i < 2; ++i)
            ASSERT_EQ(put(*store, kQuintor + u"\\" + pair[i], pair[i], REG_SZ, sz(pair[i])), ERROR_SUCCESS);
    }
    for (const auto &pair : pairs) {
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(get(*store, kQuintor + u"\\" + pair[i], pair[i]), std::pair(REG_SZ, sz(pair[i])));
    }
}

TEST_F(RegistryFileStore, NamesTheFileCannotHoldAreRefused)
{
    ASSERT_EQ(put(*store, kQuintor, u"F6", REG_SZ, sz(u"x")), ERROR_SUCCESS);
    const std::string before = *readFile();
    const std::u16string badValueNames[] = {std::u16string(u"a\0b", 3), u"a\nb", u"a\rb",
                                            std::u16string(1, char16_t(0xD800)), std::u16string(16384, u'n')};
    for (const auto &name : badValueNames)
        EXPECT_EQ(put(*store, kQuintor, name, REG_SZ, sz(u"x")), ERROR_INVALID_PARAMETER);
    const std::u16string badPaths[] = {
        u"a\\\\b", u"a\\", u"\\a", std::u16string(u"a\0b", 3), u"a\nb", std::u16string(256, u'k')};
    RegHandle key = 0;
    for (const auto &path : badPaths) {
        EXPECT_EQ(store->createKey(HKEY_LOCAL_MACHINE, path, &key), ERROR_INVALID_PARAMETER);
        EXPECT_EQ(store->openKey(HKEY_LOCAL_MACHINE, path, &key), ERROR_INVALID_PARAMETER);
    }
    EXPECT_EQ(readFile(), before);
}

TEST_F(RegistryFileStore, AValueTooLargeForTheFileIsRefused)
{
    ASSERT_EQ(put(*store, kQuintor, u"F6", REG_SZ, sz(u"x")), ERROR_SUCCESS);
    const std::string before = *readFile();
    // Written as hex, every byte takes about three.
    EXPECT_EQ(put(*store, kQuintor, u"big", REG_BINARY, Bytes(6 << 20, 0xAB)), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(store->describeFailure(ERROR_INVALID_PARAMETER),
              "Could not write " + file.string() + ": it would grow larger than 16 MiB");
    EXPECT_EQ(readFile(), before);
}

// Waits, with a generous guard against a hang, until the watch says that
// the file changed.
bool watchSaysChanged(RegistryWatch &watch)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (pollfd ready{watch.wakeup().fd, POLLIN, 0}; std::chrono::steady_clock::now() < end;) {
        if (::poll(&ready, 1, 1000) == 1 && watch.collect())
            return true;
    }
    return false;
}

TEST_F(RegistryFileStore, TheWatchSeesTheFileMadeReplacedOrMadeReadableWhereverALinkLeads)
{
    std::string error;
    const auto watch = store->watchKey(HKEY_LOCAL_MACHINE, kQuintor, &error);
    ASSERT_TRUE(watch) << error;
    // Neither the folder nor the file is there yet.
    ASSERT_EQ(put(*openStore(), kQuintor, u"F6", REG_SZ, sz(u"a")), ERROR_SUCCESS);
    EXPECT_TRUE(watchSaysChanged(*watch));

    ASSERT_EQ(::chmod(file.c_str(), 0), 0);
    EXPECT_TRUE(watchSaysChanged(*watch));
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    EXPECT_TRUE(watchSaysChanged(*watch));

    const auto dotfiles = home / "dotfiles";
    std::filesystem::create_directories(dotfiles);
    std::filesystem::rename(file, dotfiles / "registry.reg");
    std::filesystem::create_symlink(dotfiles / "registry.reg", file);
    EXPECT_TRUE(watchSaysChanged(*watch));
    // An editor saves the linked file where it lives.
    std::ofstream(dotfiles / "registry.reg", std::ios::app) << "; edited\n";
    EXPECT_TRUE(watchSaysChanged(*watch));

    // Other files beside it are no news (inotify queues events at once).
    std::ofstream(folder / "unrelated") << "x";
    EXPECT_FALSE(watch->collect());
}

TEST_F(RegistryFileStore, AFileRewrittenInPlaceOverAndOverIsNeverReadHalfWritten)
{
    ASSERT_EQ(put(*store, kQuintor, u"F6", REG_SZ, sz(u"/home/me/notes.txt")), ERROR_SUCCESS);
    const std::string whole = *readFile();
    std::string error;
    const auto watch = store->watchKey(HKEY_LOCAL_MACHINE, kQuintor, &error);
    ASSERT_TRUE(watch) << error;
    ASSERT_EQ(get(*store, kQuintor, u"F6"), std::pair(REG_SZ, sz(u"/home/me/notes.txt")));

    // Written in place (truncated, then written in two pieces) as fast as
    // the machine goes, the way a script with `>` does it.
    std::atomic<bool> stop = false;
    std::atomic<int> rewrites = 0;
    std::thread writer([&] {
        while (!stop) {
            const int fd = ::open(file.c_str(), O_WRONLY | O_TRUNC);
            if (fd < 0)
                break;
            const std::size_t half = whole.size() / 2;
            const bool written =
                ::write(fd, whole.data(), half) == static_cast<ssize_t>(half) &&
                ::write(fd, whole.data() + half, whole.size() - half) == static_cast<ssize_t>(whole.size() - half);
            ::close(fd);
            if (!written)
                break;
            ++rewrites;
        }
    });
    // Read as the program reads it: whenever the watch tells of a change,
    // and whenever it saves.
    int halfRead = 0;
    int reads = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < end) {
        watch->collect();
        ++reads;
        if (get(*store, kQuintor, u"F6") != std::pair(REG_SZ, sz(u"/home/me/notes.txt")))
            ++halfRead;
        std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
    stop = true;
    writer.join();
    EXPECT_GT(rewrites, 200);
    EXPECT_EQ(halfRead, 0) << "of " << reads << " reads during " << rewrites << " rewrites";

    // A write under way is no change yet; its end, once it has settled, is.
    EXPECT_TRUE(watchSaysChanged(*watch));
    const int fd = ::open(file.c_str(), O_WRONLY | O_TRUNC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, whole.data(), 10), 10);
    EXPECT_FALSE(watch->collect());
    ASSERT_EQ(::write(fd, whole.data() + 10, whole.size() - 10), static_cast<ssize_t>(whole.size() - 10));
    EXPECT_FALSE(watch->collect());
    ::close(fd);
    EXPECT_TRUE(watchSaysChanged(*watch));
    EXPECT_EQ(get(*store, kQuintor, u"F6"), std::pair(REG_SZ, sz(u"/home/me/notes.txt")));
}

// The file must come out of each fault as it went in, and the store must
// say what went wrong: reads find nothing, writes fail.
class RegistryFileFaults : public RegistryFileStore {
protected:
    void expectReadsFailAndWritesRefused(RegStatus readStatus, const std::string &says)
    {
        RegHandle key = 0;
        EXPECT_EQ(store->openKey(HKEY_LOCAL_MACHINE, kQuintor, &key), readStatus);
        EXPECT_EQ(store->describeFailure(readStatus), "Could not read " + file.string() + ": " + says);
        EXPECT_EQ(store->queryValue(HKEY_LOCAL_MACHINE, u"F6", nullptr, nullptr, nullptr), readStatus);
        EXPECT_FALSE(get(*store, kQuintor, u"F6"));

        const RegStatus status = put(*store, u"Software\\Other", u"F6", REG_SZ, sz(u"x"));
        EXPECT_NE(status, ERROR_SUCCESS);
        EXPECT_EQ(store->describeFailure(status), "Could not write " + file.string() + ": " + says);
    }
};

TEST_F(RegistryFileFaults, ACorruptFileIsNeitherReadNorTouched)
{
    const std::string corrupt = "Windows Registry Editor Version 5.00\n"
                                "[HKEY_LOCAL_MACHINE\\Software\\Morvask\\Quintor]\n"
                                "\"F6\"=\"/bin/true\"\n"
                                "\"F7\"=hex:0g\n";
    writeFile(corrupt);
    expectReadsFailAndWritesRefused(ERROR_BADDB, "line 4: bad hex byte \"0g\"");
    EXPECT_EQ(readFile(), corrupt);
}

TEST_F(RegistryFileFaults, AValueThatIsNoUtf8IsRefusedAloneAndKeptByWrites)
{
    const std::string latin1 = "\"F7\"=\"/home/me/prog-\xFC\"";
    writeFile("Windows Registry Editor Version 5.00\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Morvask\\Quintor]\n"
              "\"F6\"=\"/home/me/a\"\n" +
              latin1 + "\n\"F8\"=\"/home/me/b\"\n");
    EXPECT_EQ(get(*store, kQuintor, u"F6"), std::pair(REG_SZ, sz(u"/home/me/a")));
    EXPECT_EQ(get(*store, kQuintor, u"F8"), std::pair(REG_SZ, sz(u"/home/me/b")));
    RegHandle key = 0;
    ASSERT_EQ(store->openKey(HKEY_LOCAL_MACHINE, kQuintor, &key), ERROR_SUCCESS);
    EXPECT_EQ(store->queryValue(key, u"F7", nullptr, nullptr, nullptr), ERROR_BADDB);
    EXPECT_EQ(store->describeFailure(ERROR_BADDB),
              "Could not read " + file.string() + ": line 4: the value \"F7\" holds bytes that are not UTF-8");
    store->closeKey(key);

    ASSERT_EQ(put(*store, kQuintor, u"F9", REG_SZ, sz(u"/home/me/c")), ERROR_SUCCESS);
    EXPECT_NE(readFile()->find("\n" + latin1 + "\n"), std::string::npos) << *readFile();
    EXPECT_EQ(get(*store, kQuintor, u"F9"), std::pair(REG_SZ, sz(u"/home/me/c")));
}

TEST_F(RegistryFileFaults, ATruncatedUtf16FileIsNeitherReadNorTouched)
{
    std::string truncated = "\xFF\xFE";
    for (char c : std::string("Windows Registry Editor Version 5.00\r\n[HKEY_LOCAL_MACHINE\\Software]\r\n\"F6\"=\"x"))
        truncated += std::string{c, '\0'};
    truncated.pop_back();
    writeFile(truncated);
    expectReadsFailAndWritesRefused(ERROR_BADDB, "line 3: the UTF-16 text ends in the middle of a character");
    EXPECT_EQ(readFile(), truncated);
}

TEST_F(RegistryFileFaults, ANulInAKeyNameIsNeitherReadNorTouched)
{
    const std::string withNul =
        std::string("Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\Soft") + '\0' + "ware]\n\"F6\"=\"x\"\n";
    writeFile(withNul);
    expectReadsFailAndWritesRefused(ERROR_BADDB, "line 2: a NUL character");
    EXPECT_EQ(readFile(), withNul);
}

TEST_F(RegistryFileFaults, AHugeFileIsRefusedWithoutReadingIt)
{
    writeFile("Windows Registry Editor Version 5.00\n");
    std::filesystem::resize_file(file, 100u << 20); // sparse: quick to make
    expectReadsFailAndWritesRefused(ERROR_BADDB, "it is larger than 16 MiB");
    EXPECT_EQ(std::filesystem::file_size(file), 100u << 20);
    EXPECT_EQ(folderEntries(), (std::vector<std::string>{"registry.reg", "registry.reg.lock"}));
}

TEST_F(RegistryFileFaults, AFolderInPlaceOfTheFileIsLeftAlone)
{
    std::filesystem::create_directories(file);
    expectReadsFailAndWritesRefused(ERROR_BADDB, "Is a directory");
    EXPECT_TRUE(std::filesystem::is_empty(file));
}

TEST_F(RegistryFileFaults, AFifoInPlaceOfTheFileDoesNotHang)
{
    std::filesystem::create_directories(folder);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    expectReadsFailAndWritesRefused(ERROR_BADDB, "it is not a regular file");
}

TEST_F(RegistryFileFaults, AReadOnlyFileIsReadButNotWritten)
{
    ASSERT_EQ(put(*store, kQuintor, u"F6", REG_SZ, sz(u"kept")), ERROR_SUCCESS);
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    const std::string before = *readFile();

    EXPECT_EQ(get(*store, kQuintor, u"F6"), std::pair(REG_SZ, sz(u"kept")));
    EXPECT_EQ(put(*store, kQuintor, u"F6", REG_SZ, sz(u"changed")), ERROR_ACCESS_DENIED);
    EXPECT_EQ(store->describeFailure(ERROR_ACCESS_DENIED),
              "Could not write " + file.string() + ": Permission denied (the file is read-only)");
    // Storing what is there already changes nothing, and so succeeds.
    EXPECT_EQ(put(*store, kQuintor, u"F6", REG_SZ, sz(u"kept")), ERROR_SUCCESS);
    EXPECT_EQ(readFile(), before);
    EXPECT_EQ(modeOf(file), 0444u);
}

TEST_F(RegistryFileFaults, AReadOnlyFolderIsReadButNotWritten)
{
    ASSERT_EQ(put(*store, kQuintor, u"F6", REG_SZ, sz(u"kept")), ERROR_SUCCESS);
    const std::string before = *readFile();
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);

    EXPECT_EQ(get(*store, kQuintor, u"F6"), std::pair(REG_SZ, sz(u"kept")));
    EXPECT_EQ(put(*store, kQuintor, u"F6", REG_SZ, sz(u"changed")), ERROR_ACCESS_DENIED);
    EXPECT_NE(
        store->describeFailure(ERROR_ACCESS_DENIED).find("Could not write " + file.string() + ": Permission denied"),
        std::string::npos);
    EXPECT_EQ(readFile(), before);
    EXPECT_EQ(folderEntries(), (std::vector<std::string>{"registry.reg", "registry.reg.lock"}));
}

TEST_F(RegistryFileFaults, AnUnwritableFolderGetsNoFile)
{
    std::filesystem::create_directories(folder);
    ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    RegHandle key = 0;
    EXPECT_EQ(store->createKey(HKEY_LOCAL_MACHINE, kQuintor, &key), ERROR_ACCESS_DENIED);
    EXPECT_NE(store->describeFailure(ERROR_ACCESS_DENIED).find("Permission denied"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(file));

    // Nor where the folder cannot be made at all.
    ASSERT_EQ(::chmod(folder.c_str(), 0700), 0);
    std::filesystem::remove_all(folder);
    std::ofstream(folder) << "a file where the folder should be";
    EXPECT_EQ(store->createKey(HKEY_LOCAL_MACHINE, kQuintor, &key), ERROR_WRITE_FAULT);
    EXPECT_EQ(store->describeFailure(ERROR_WRITE_FAULT), "Could not write " + file.string() + ": Not a directory");
}

TEST_F(RegistryFileFaults, AHeldLockStopsNoReadAndFailsAWriteAsBusy)
{
    ASSERT_EQ(put(*store, kQuintor, u"F6", REG_SZ, sz(u"kept")), ERROR_SUCCESS);
    const std::string before = *readFile();
    FileLock held;
    ASSERT_FALSE(FileLock::acquire(file.string() + ".lock", std::chrono::milliseconds(0), held));
    store = openStore(std::chrono::milliseconds(300));

    EXPECT_EQ(get(*store, kQuintor, u"F6"), std::pair(REG_SZ, sz(u"kept")));
    EXPECT_EQ(put(*store, kQuintor, u"F6", REG_SZ, sz(u"changed")), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(store->describeFailure(ERROR_SHARING_VIOLATION),
              "Could not write " + file.string() + ": the file is busy: another program holds its lock");
    EXPECT_EQ(readFile(), before);
}

TEST_F(RegistryFileFaults, ALockFileThatIsNoPlainFileIsRefusedWithoutHanging)
{
    ASSERT_EQ(put(*store, kQuintor, u"F6", REG_SZ, sz(u"kept")), ERROR_SUCCESS);
    const std::string lock = file.string() + ".lock";
    std::filesystem::remove(lock);
    ASSERT_EQ(::mkfifo(lock.c_str(), 0600), 0);
    EXPECT_EQ(get(*store, kQuintor, u"F6"), std::pair(REG_SZ, sz(u"kept")));
    RegStatus status = put(*store, kQuintor, u"F6", REG_SZ, sz(u"changed"));
    EXPECT_EQ(store->describeFailure(status),
              "Could not write " + file.string() + ": its lock file " + lock + " is not a regular file");

    std::filesystem::remove(lock);
    std::filesystem::create_symlink(home / "elsewhere", lock);
    status = put(*store, kQuintor, u"F6", REG_SZ, sz(u"changed"));
    EXPECT_EQ(store->describeFailure(status),
              "Could not write " + file.string() + ": its lock file " + lock + " is a symbolic link");
    EXPECT_FALSE(std::filesystem::exists(home / "elsewhere"));
    EXPECT_EQ(get(*store, kQuintor, u"F6"), std::pair(REG_SZ, sz(u"kept")));
}

TEST_F(RegistryFileFaults, AFileAnEditorSavedSinceItWasReadIsNotReplaced)
{
    writeFile("Windows Registry Editor Version 5.00\n");
    FileContents read;
    ASSERT_FALSE(readWholeFile(file.string(), kMaxRegTextBytes, read));
    // The editor writes in place, as many do, or replaces the file.
    for (const bool inPlace : {true, false}) {
        const std::string edited = inPlace ? "Windows Registry Editor Version 5.00\n; in place\n"
                                           : "Windows Registry Editor Version 5.00\n; renamed\n";
        if (inPlace) {
            writeFile(edited);
        } else {
            std::ofstream(folder / "saved-by-editor") << edited;
            std::filesystem::rename(folder / "saved-by-editor", file);
        }
        const auto fault =
            replaceFileAtomically(file.string(), "Windows Registry Editor Version 5.00\n; ours\n", read.identity);
        ASSERT_TRUE(fault);
        EXPECT_EQ(fault->error, ESTALE);
        EXPECT_EQ(readFile(), edited);
        ASSERT_FALSE(readWholeFile(file.string(), kMaxRegTextBytes, read));
    }
}

TEST_F(RegistryFileFaults, TemporaryFilesOfAKilledWriterAreClearedByTheNextWrite)
{
    ASSERT_EQ(put(*store, kQuintor, u"F6", REG_SZ, sz(u"x")), ERROR_SUCCESS);
    std::ofstream(folder / "registry.reg.tmp-AbC123") << "Windows Registry Editor Version 5.00\n[HKEY_USE";
    ASSERT_EQ(put(*store, kQuintor, u"F7", REG_SZ, sz(u"y")), ERROR_SUCCESS);
    EXPECT_EQ(folderEntries(), (std::vector<std::string>{"registry.reg", "registry.reg.lock"}));
}

} // namespace
