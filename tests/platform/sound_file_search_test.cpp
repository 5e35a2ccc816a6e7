#include "platform/sound_file_search.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;
using vantrel::platform::findSoundFile;

namespace {

// A private tree of folders, and the working directory moved into one of
// them for the test's time.
class SoundFileSearchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "vantrel-sound-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
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
    static void touch(const fs::path &path) { std::ofstream(path) << "RIFF"; }

    fs::path root_;
    fs::path previous_;
};

TEST_F(SoundFileSearchTest, WorkingDirectoryComesFirstThenEachDataFolderInOrder)
{
    const std::vector<fs::path> dataFolders{folder("first"), folder("second")};
    EXPECT_EQ(findSoundFile("trumpet1.wav", dataFolders), std::nullopt);

    touch(folder("second") / "trumpet1.wav");
    EXPECT_EQ(findSoundFile("trumpet1.wav", dataFolders), folder("second") / "trumpet1.wav");

    touch(folder("first") / "trumpet1.wav");
    EXPECT_EQ(findSoundFile("trumpet1.wav", dataFolders), folder("first") / "trumpet1.wav");

    touch(folder("work") / "trumpet1.wav");
    EXPECT_EQ(findSoundFile("trumpet1.wav", dataFolders), folder("work") / "trumpet1.wav");
}

TEST_F(SoundFileSearchTest, OnlyRegularFilesCount)
{
    fs::create_directory(folder("work") / "trumpet1.wav");
    fs::create_symlink(folder("nowhere.wav"), folder("first") / "trumpet1.wav");
    touch(folder("second") / "trumpet1.wav");
    EXPECT_EQ(findSoundFile("trumpet1.wav", {folder("first"), folder("second")}), folder("second") / "trumpet1.wav");
    EXPECT_EQ(findSoundFile("", {folder("second")}), std::nullopt);
}

TEST_F(SoundFileSearchTest, AbsoluteNameIsTakenAsItIs)
{
    touch(folder("second") / "trumpet1.wav");
    const fs::path absolute = folder("first") / "trumpet1.wav";
    EXPECT_EQ(findSoundFile(absolute.string(), {folder("second")}), std::nullopt);
    touch(absolute);
    EXPECT_EQ(findSoundFile(absolute.string(), {folder("second")}), absolute);
}

} // namespace
