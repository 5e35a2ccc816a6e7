// Where sounds are looked up, against the real file system: on Linux and,
// through the Windows backend's own look at files, under Wine.
#include "platform/sound_file_search.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using vantrel::platform::findSoundFile;

namespace {

std::string utf8(const fs::path &path)
{
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

// A private tree of folders, and the working directory moved into one of
// them for the test's time.
class SoundFileSearchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::random_device random;
        do
            root_ = fs::temp_directory_path() / ("vantrel-sound-" + std::to_string(random()));
        while (!fs::create_directory(root_));
        for (const char *folder : {"work", "first", "second"})
            fs::create_directory(root_ / folder);
        previous_ = fs::current_path();
        fs::current_path(root_ / "work");
    }
    void TearDown() override
    {
        fs::current_path(previous_);
        fs::remove_all(root_);
    }

    fs::path folder(const char *name) const { return root_ / name; }
    std::string in(const char *name, const char8_t *file) const { return utf8(folder(name) / file); }
    static void touch(const std::string &path)
    {
        std::ofstream(fs::path(std::u8string(path.begin(), path.end()))) << "RIFF";
    }

    fs::path root_;
    fs::path previous_;
};

TEST_F(SoundFileSearchTest, WorkingDirectoryComesFirstThenEachDataFolderInOrder)
{
    const std::vector<std::string> dataFolders{utf8(folder("first")), utf8(folder("second"))};
    EXPECT_EQ(findSoundFile("trumpet1.wav", dataFolders), std::nullopt);

    touch(in("second", u8"trumpet1.wav"));
    EXPECT_EQ(findSoundFile("trumpet1.wav", dataFolders), in("second", u8"trumpet1.wav"));

    touch(in("first", u8"trumpet1.wav"));
    EXPECT_EQ(findSoundFile("trumpet1.wav", dataFolders), in("first", u8"trumpet1.wav"));

    // Found in the working directory, named so that any process finds it.
    touch(in("work", u8"trumpet1.wav"));
    EXPECT_EQ(findSoundFile("trumpet1.wav", dataFolders), in("work", u8"trumpet1.wav"));
}

TEST_F(SoundFileSearchTest, NamesAndFoldersAreUtf8)
{
    const fs::path fanfares = folder("first") / u8"Fanfaren für Morvak";
    fs::create_directory(fanfares);
    const std::vector<std::string> dataFolders{utf8(fanfares)};
    const std::string file = utf8(fanfares / u8"trompète ♪.wav");
    touch(file);
    EXPECT_EQ(findSoundFile(reinterpret_cast<const char *>(u8"trompète ♪.wav"), dataFolders), file);
    // A name that is not UTF-8 names no file.
    EXPECT_EQ(findSoundFile("trompète \xff.wav", dataFolders), std::nullopt);
}

TEST_F(SoundFileSearchTest, OnlyRegularFilesCount)
{
    fs::create_directory(folder("work") / "trumpet1.wav");
    fs::create_directory(folder("first") / "trumpet1.wav");
    touch(in("second", u8"trumpet1.wav"));
    EXPECT_EQ(findSoundFile("trumpet1.wav", {utf8(folder("first")), utf8(folder("second"))}),
              in("second", u8"trumpet1.wav"));
    EXPECT_EQ(findSoundFile("", {utf8(folder("second"))}), std::nullopt);
}

#ifndef _WIN32
// Wine makes no symbolic links.
TEST_F(SoundFileSearchTest, ALinkCountsAsTheFileItLeadsTo)
{
    fs::create_symlink(folder("nowhere.wav"), folder("first") / "trumpet1.wav");
    fs::create_symlink(folder("second") / "real.wav", folder("second") / "trumpet1.wav");
    const std::vector<std::string> dataFolders{utf8(folder("first")), utf8(folder("second"))};
    EXPECT_EQ(findSoundFile("trumpet1.wav", dataFolders), std::nullopt);
    touch(in("second", u8"real.wav"));
    EXPECT_EQ(findSoundFile("trumpet1.wav", dataFolders), in("second", u8"trumpet1.wav"));
}
#endif

TEST_F(SoundFileSearchTest, AbsoluteNameIsTakenAsItIs)
{
    touch(in("second", u8"trumpet1.wav"));
    const std::string absolute = in("first", u8"trumpet1.wav");
    EXPECT_EQ(findSoundFile(absolute, {utf8(folder("second"))}), std::nullopt);
    touch(absolute);
    EXPECT_EQ(findSoundFile(absolute, {utf8(folder("second"))}), absolute);
}

} // namespace
