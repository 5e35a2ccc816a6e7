#include "windows/design/folder_check.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace {

using vantrel::design::ThreadFolderCheck;

bool answersWithin(const ThreadFolderCheck::Answered &answered, std::chrono::seconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!answered->load() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return answered->load();
}

// A place that is there answers, and so does one that is not: "no such file"
// is an answer.
TEST(ThreadFolderCheck, PlacesThatRespondAnswer)
{
    ThreadFolderCheck check;
    const auto here = std::filesystem::temp_directory_path();
    EXPECT_TRUE(answersWithin(check.look(here.u16string()), std::chrono::seconds(10)));
    EXPECT_TRUE(answersWithin(check.look((here / "not-there" / "file.txt").u16string()), std::chrono::seconds(10)));
}

// A look still under way is shared, not started again.
TEST(ThreadFolderCheck, ALookUnderWayIsShared)
{
    ThreadFolderCheck check;
    const auto path = std::filesystem::temp_directory_path().u16string();
    const auto first = check.look(path);
    const auto second = check.look(path);
    EXPECT_TRUE(first == second || first->load());
    EXPECT_TRUE(answersWithin(second, std::chrono::seconds(10)));
}

} // namespace
