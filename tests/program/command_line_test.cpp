#include "app/command_line.h"

#include <gtest/gtest.h>

#include <sstream>
#include <streambuf>
#include <vector>

namespace {

struct Answer {
    std::optional<int> status;
    std::string out;
    std::string err;
};

Answer answer(std::vector<const char *> arguments)
{
    arguments.insert(arguments.begin(), "vantrel");
    std::ostringstream out, err;
    const auto status = vantrel::answerCommandLine(arguments, out, err);
    return {status, out.str(), err.str()};
}

TEST(CommandLine, WithoutArgumentsTheProgramStarts)
{
    const Answer started = answer({});
    EXPECT_FALSE(started.status);
    EXPECT_EQ(started.out, "");
    EXPECT_EQ(started.err, "");
}

TEST(CommandLine, VersionAndHelpAnswerOnStandardOutput)
{
    const Answer version = answer({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, vantrel::versionLine() + "\n");
    EXPECT_EQ(version.err, "");

    for (const char *option : {"--help", "-h"}) {
        const Answer help = answer({option});
        EXPECT_EQ(help.status, 0) << option;
        EXPECT_EQ(help.out, vantrel::helpText()) << option;
        EXPECT_EQ(help.err, "") << option;
    }
    EXPECT_NE(vantrel::helpText().find("$XDG_CONFIG_HOME/vantrel/registry.reg"), std::string::npos);
    EXPECT_NE(vantrel::helpText().find("~/.config/vantrel/registry.reg"), std::string::npos);
}

TEST(CommandLine, AnythingElseIsOneLineOnStandardErrorAndStatusTwo)
{
    const struct {
        std::vector<const char *> arguments;
        std::string named;
    } cases[] = {
        {{"-platform", "offscreen"}, "-platform"}, // Qt's own options are not ours
        {{"--display=:0"}, "--display=:0"},
        {{"-version"}, "-version"},
        {{"--Version"}, "--Version"},
        {{"/home/ada/notes.txt"}, "/home/ada/notes.txt"},
        {{""}, ""},
        {{"--version", "--help"}, "--help"}, // each option only alone
        {{"--help", "extra"}, "extra"},
        {{"--version", "--version"}, "--version"},
    };
    for (const auto &c : cases) {
        const Answer rejected = answer(c.arguments);
        EXPECT_EQ(rejected.status, 2) << c.named;
        EXPECT_EQ(rejected.out, "") << c.named;
        EXPECT_EQ(rejected.err,
                  "vantrel: unexpected argument \"" + c.named + "\" (vantrel takes only --help or --version)\n");
    }
}

TEST(CommandLine, ControlCharactersInAnArgumentKeepTheErrorOnOneLine)
{
    const Answer rejected = answer({"two\nlines\r\x1b[2J"});
    EXPECT_EQ(rejected.status, 2);
    EXPECT_EQ(rejected.err,
              "vantrel: unexpected argument \"two\\x0Alines\\x0D\\x1B[2J\" (vantrel takes only --help or --version)\n");
}

// Standard output closed or on a full disk.
class FailingBuffer : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
};

TEST(CommandLine, AnAnswerThatCannotBeWrittenIsAFailure)
{
    FailingBuffer buffer;
    std::ostream out(&buffer);
    std::ostringstream err;
    const std::vector<const char *> arguments{"vantrel", "--version"};
    EXPECT_EQ(vantrel::answerCommandLine(arguments, out, err), 1);
}

} // namespace
