#include "platform/linux/settings/reg_text_format.h"
#include "registry_file_fixture.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <thread>

using namespace vantrel;
using namespace vantrel::platform;
using namespace vantrel::platform::linux_backend;
using test::Bytes;
using test::sz;

namespace {

std::u16string number(int n)
{
    const std::string digits = std::to_string(n);
    return std::u16string(digits.begin(), digits.end());
}

// Stores a string value; says why on standard error when it cannot.
bool putString(Registry &store, const std::u16string &path, const std::u16string &name, const Bytes &data)
{
    const RegStatus status = test::put(store, path, name, REG_SZ, data);
    if (status != ERROR_SUCCESS)
        std::fprintf(stderr, "%s\n", store.describeFailure(status).c_str());
    return status == ERROR_SUCCESS;
}

// Runs body in a child process; its exit status is 0 when body returns true.
pid_t startChild(const std::function<bool()> &body)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body() ? 0 : 1);
    return pid;
}

int waitForExit(pid_t pid)
{
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// A folder in memory where there is one: every write flushes the file and
// its folder to disk, which on a busy disk takes milliseconds, and thousands
// of writes here test locking and atomic replacement, not the disk.
std::filesystem::path fastTemporaryFolder()
{
    std::error_code error;
    return std::filesystem::is_directory("/dev/shm", error) && ::access("/dev/shm", W_OK) == 0
               ? std::filesystem::path("/dev/shm")
               : std::filesystem::temp_directory_path();
}

class RegistryFileProcesses : public test::RegistryFileTest {
protected:
    RegistryFileProcesses() : RegistryFileTest(fastTemporaryFolder()) {}

    // Runs each writer in a process of its own, all starting at once, and
    // expects each to finish with success.
    void runAtOnce(const std::vector<std::function<bool(Registry &)>> &writers)
    {
        int go[2];
        ASSERT_EQ(::pipe(go), 0);
        std::vector<pid_t> children;
        for (const auto &writer : writers) {
            children.push_back(startChild([&] {
                ::close(go[1]);
                char start;
                if (::read(go[0], &start, 1) != 0)
                    return false;
                return writer(*openStore());
            }));
        }
        ::close(go[0]);
        ::close(go[1]); // all start now
        for (pid_t child : children)
            EXPECT_EQ(waitForExit(child), 0);
    }

    const RegKey *savedKey(const RegDocument &document, const std::u16string &name)
    {
        const RegKey *software = document.top.findSubkey(u"HKEY_LOCAL_MACHINE")->findSubkey(u"Software");
        return software ? software->findSubkey(name) : nullptr;
    }
};

// Each adds values to its own key; a lost update would drop some that the
// other had added.
TEST_F(RegistryFileProcesses, TwoWritersAddingValuesAtOnceLoseNone)
{
    constexpr int kValues = 150;
    std::vector<std::function<bool(Registry &)>> writers;
    for (const std::u16string key : {u"First", u"Second"}) {
        writers.push_back([key](Registry &store) {
            for (int i = 0; i < kValues; ++i) {
                if (!putString(store, u"Software\\" + key, u"v" + number(i), sz(key + number(i))))
                    return false;
            }
            return true;
        });
    }
    runAtOnce(writers);

    const auto parsed = parseRegText(readFile().value_or(""));
    ASSERT_TRUE(parsed.document) << parsed.error.describe();
    for (const std::u16string key : {u"First", u"Second"}) {
        const RegKey *saved = savedKey(*parsed.document, key);
        ASSERT_NE(saved, nullptr);
        EXPECT_EQ(saved->values().size(), static_cast<std::size_t>(kValues));
        for (int i = 0; i < kValues; ++i) {
            const RegValue *value = saved->findValue(u"v" + number(i));
            ASSERT_NE(value, nullptr) << i;
            EXPECT_EQ(value->data, sz(key + number(i)));
        }
    }
}

// Two copies of the program saving different bindings of the settings key,
// a thousand times each. Before each save a copy checks that its previous
// one is still there: a write by the other based on an older file would
// have taken it back.
TEST_F(RegistryFileProcesses, TwoCopiesSavingAThousandTimesEachLoseNothing)
{
    constexpr int kSaves = 1000;
    const std::u16string quintor = u"Software\\Morvask\\Quintor";
    std::vector<std::function<bool(Registry &)>> copies;
    for (const std::u16string binding : {u"F6", u"F7"}) {
        copies.push_back([&, binding](Registry &store) {
            for (int i = 0; i < kSaves; ++i) {
                if (i > 0) {
                    RegHandle key = 0;
                    std::uint32_t size = 64;
                    Bytes data(size);
                    const bool kept = store.openKey(HKEY_LOCAL_MACHINE, quintor, &key) == ERROR_SUCCESS &&
                                      store.queryValue(key, binding, nullptr, data.data(), &size) == ERROR_SUCCESS;
                    store.closeKey(key);
                    data.resize(size);
                    if (!kept || data != sz(binding + number(i - 1))) {
                        std::fprintf(stderr, "save %d of %s was lost\n", i - 1, binding == u"F6" ? "F6" : "F7");
                        return false;
                    }
                }
                if (!putString(store, quintor, binding, sz(binding + number(i))))
                    return false;
            }
            return true;
        });
    }
    runAtOnce(copies);

    const auto parsed = parseRegText(readFile().value_or(""));
    ASSERT_TRUE(parsed.document) << parsed.error.describe();
    const RegKey *morvask = savedKey(*parsed.document, u"Morvask");
    ASSERT_NE(morvask, nullptr);
    const RegKey *saved = morvask->findSubkey(u"Quintor");
    ASSERT_NE(saved, nullptr);
    EXPECT_EQ(saved->findValue(u"F6")->data, sz(u"F6" + number(kSaves - 1)));
    EXPECT_EQ(saved->findValue(u"F7")->data, sz(u"F7" + number(kSaves - 1)));
}

// A writer killed at any moment leaves the complete old or the complete new
// file: never a part of one, never nothing.
TEST_F(RegistryFileProcesses, AWriterKilledAtRandomMomentsLeavesACompleteFile)
{
    constexpr int kFillers = 300;
    {
        auto store = openStore();
        for (int i = 0; i < kFillers; ++i)
            ASSERT_TRUE(
                putString(*store, u"Software\\Filler", u"f" + number(i), sz(std::u16string(40, u'x') + number(i))));
    }

    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("random seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> pause(0, 15000); // microseconds

    long lastCounter = -1;
    int roundsWithProgress = 0;
    for (int round = 0; round < 40; ++round) {
        int firstSave[2];
        ASSERT_EQ(::pipe(firstSave), 0);
        const pid_t writer = startChild([&] {
            ::close(firstSave[0]);
            auto store = openStore();
            // Each version differs in length as well, so that a cut-off file
            // could not pass for a whole one.
            for (long i = lastCounter + 1;; ++i) {
                putString(*store, u"Software\\Counter", u"counter", sz(number(static_cast<int>(i))));
                putString(*store, u"Software\\Counter", u"padding", sz(std::u16string(i % 97, u'p')));
                if (firstSave[1] >= 0) {
                    ::close(firstSave[1]);
                    firstSave[1] = -1;
                }
            }
            return true;
        });
        // However slow the build, the kill comes after the writer's first
        // save, at a random moment of the saves that follow.
        ::close(firstSave[1]);
        char ignored;
        ASSERT_EQ(::read(firstSave[0], &ignored, 1), 0);
        ::close(firstSave[0]);
        std::this_thread::sleep_for(std::chrono::microseconds(pause(random)));
        ::kill(writer, SIGKILL);
        ASSERT_EQ(waitForExit(writer), 128 + SIGKILL);

        const std::string bytes = readFile().value_or("");
        const auto parsed = parseRegText(bytes);
        ASSERT_TRUE(parsed.document) << "round " << round << ": " << parsed.error.describe();
        EXPECT_EQ(serializeRegText(*parsed.document), bytes) << "round " << round;
        const RegKey *software = parsed.document->top.findSubkey(u"HKEY_LOCAL_MACHINE")->findSubkey(u"Software");
        ASSERT_EQ(software->findSubkey(u"Filler")->values().size(), static_cast<std::size_t>(kFillers));
        if (const RegKey *counter = software->findSubkey(u"Counter"); counter && counter->findValue(u"counter")) {
            const auto &data = counter->findValue(u"counter")->data;
            std::string digits;
            for (std::size_t i = 0; i + 2 < data.size(); i += 2)
                digits.push_back(static_cast<char>(data[i]));
            const long value = std::stol(digits);
            EXPECT_GE(value, lastCounter);
            roundsWithProgress += value > lastCounter;
            lastCounter = value;
        }
    }
    EXPECT_GT(roundsWithProgress, 0);

    // What the killed writers left behind does not stand in the way.
    auto store = openStore();
    EXPECT_TRUE(putString(*store, u"Software\\Counter", u"after", sz(u"done")));
    EXPECT_EQ(folderEntries(), (std::vector<std::string>{"registry.reg", "registry.reg.lock"}));
}

} // namespace
