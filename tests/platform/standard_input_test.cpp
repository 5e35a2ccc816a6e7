// Standard input as the website helper reads it from the resident program.

#include "platform/standard_input.h"
#include "support/redirected_standard_input.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <future>
#include <string>

using vantrel::platform::readStandardInput;
using vantrel::platform::standardInputIsPipe;
using vantrel::test::RedirectedStandardInput;

namespace {

std::string readOnce()
{
    std::array<char, 256> buffer{};
    return std::string(buffer.data(), readStandardInput(buffer));
}

} // namespace

TEST(StandardInput, OnlyAPipeCountsAsPipedInput)
{
    {
        RedirectedStandardInput input(RedirectedStandardInput::Source::pipe);
        EXPECT_TRUE(standardInputIsPipe());
    }
    RedirectedStandardInput input(RedirectedStandardInput::Source::nullDevice);
    EXPECT_FALSE(standardInputIsPipe());
    EXPECT_EQ(readOnce(), "");
}

TEST(StandardInput, ReadsWhatIsThereThenTheEnd)
{
    RedirectedStandardInput input(RedirectedStandardInput::Source::pipe);
    // Far less than the buffer holds: the read must not wait for more.
    input.write("raise\n");
    EXPECT_EQ(readOnce(), "raise\n");

    input.write("ab");
    input.write("cd\n");
    std::string both;
    while (both.size() < 5)
        both += readOnce();
    EXPECT_EQ(both, "abcd\n");

    input.closeWriteEnd();
    EXPECT_EQ(readOnce(), "");
}

TEST(StandardInput, ReadWaitsForInput)
{
    RedirectedStandardInput input(RedirectedStandardInput::Source::pipe);
    auto read = std::async(std::launch::async, readOnce);
    EXPECT_EQ(read.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    input.write("raise\n");
    ASSERT_EQ(read.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(read.get(), "raise\n");
}
