#include "platform/linux/open/native_path.h"

#include <gtest/gtest.h>

#include <random>

using namespace vantrel::platform::linux_backend;

namespace {

TEST(NativePath, UnicodeTextBecomesUtf8AndBack)
{
    const std::u16string text = u"/home/zoë/日本/\U0001F600 notes.txt";
    const auto bytes = toNativePath(text);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, "/home/zo\xC3\xAB/\xE6\x97\xA5\xE6\x9C\xAC/\xF0\x9F\x98\x80 notes.txt");
    EXPECT_EQ(fromNativePath(*bytes), text);
}

TEST(NativePath, BytesThatAreNotUtf8TravelAsEscapes)
{
    EXPECT_EQ(fromNativePath("caf\xE9.txt"), u"caf\xDCE9.txt");
    EXPECT_EQ(toNativePath(u"caf\xDCE9.txt"), "caf\xE9.txt");
    // Each byte of a malformed sequence is escaped on its own, and decoding
    // resumes right after it.
    EXPECT_EQ(fromNativePath("\xC0\xAF"), u"\xDCC0\xDCAF");                     // overlong '/'
    EXPECT_EQ(fromNativePath("\xED\xA0\x80"), u"\xDCED\xDCA0\xDC80");           // encoded surrogate
    EXPECT_EQ(fromNativePath("\xF4\x90\x80\x80"), u"\xDCF4\xDC90\xDC80\xDC80"); // past U+10FFFF
    EXPECT_EQ(fromNativePath("\xE2\x82"
                             "A"),
              u"\xDCE2\xDC82"
              "A"); // cut short
}

TEST(NativePath, AnyBytesWithoutNulRoundTrip)
{
    std::mt19937 random(20240601);
    std::uniform_int_distribution<int> byte(1, 255);
    std::uniform_int_distribution<int> length(0, 24);
    for (int i = 0; i < 20000; ++i) {
        std::string bytes(static_cast<std::size_t>(length(random)), '\0');
        for (auto &c : bytes)
            c = static_cast<char>(byte(random));
        EXPECT_EQ(toNativePath(fromNativePath(bytes)), bytes) << "case " << i;
    }
}

TEST(NativePath, TextThatCannotNameAFileGivesNothing)
{
    EXPECT_FALSE(toNativePath(std::u16string(u"a\0b", 3)));
    EXPECT_FALSE(toNativePath(u"lone \xD83D high"));
    EXPECT_FALSE(toNativePath(u"trailing high \xD83D"));
    EXPECT_FALSE(toNativePath(u"low \xDC41 below the escapes"));
}

TEST(NativePath, PrintableNameKeepsOneLine)
{
    EXPECT_EQ(printableName("a\nb\x7F"
                            "caf\xE9 \xC3\xA9"),
              "a\\x0Ab\\x7Fcaf\\xE9 \xC3\xA9");
    EXPECT_EQ(printableText(std::u16string(u"x\0\xD800y", 4)), "x\\u0000\\uD800y");
}

} // namespace
