#include "app/command_line.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <utility>
#include <vector>

namespace {

struct Answer {
    vantrel::Command command;
    std::string out;
    std::string err;
    // The exit status the command line answered with, if it did.
    std::optional<int> status() const
    {
        if (const auto *exit = std::get_if<vantrel::ExitWith>(&command))
            return exit->status;
        return std::nullopt;
    }
};

Answer answer(std::vector<const char *> arguments)
{
    arguments.insert(arguments.begin(), "vantrel");
    vantrel::KeptText out, err;
    auto command = vantrel::readCommandLine(arguments, out, err);
    return {command, out.text(), err.text()};
}

TEST(CommandLine, WithoutArgumentsTheProgramStarts)
{
    const Answer started = answer({});
    EXPECT_TRUE(std::holds_alternative<vantrel::StartProgram>(started.command));
    EXPECT_EQ(started.out, "");
    EXPECT_EQ(started.err, "");
}

TEST(CommandLine, VersionAndHelpAnswerOnStandardOutput)
{
    const Answer version = answer({"--version"});
    EXPECT_EQ(version.status(), 0);
    EXPECT_EQ(version.out, vantrel::versionLine() + "\n");
    EXPECT_EQ(version.err, "");

    for (const char *option : {"--help", "-h"}) {
        const Answer help = answer({option});
        EXPECT_EQ(help.status(), 0) << option;
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
        {{"--press", "F8", "F9"}, "F9"},
        {{"-press", "F8"}, "-press"},
    };
    for (const auto &c : cases) {
        const Answer rejected = answer(c.arguments);
        EXPECT_EQ(rejected.status(), 2) << c.named;
        EXPECT_EQ(rejected.out, "") << c.named;
        EXPECT_EQ(rejected.err, "vantrel: unexpected argument \"" + c.named +
                                    "\" (vantrel takes only --help, --version or --press KEY)\n");
    }
}

TEST(CommandLine, ControlCharactersInAnArgumentKeepTheErrorOnOneLine)
{
    const Answer rejected = answer({"two\nlines\r\x1b[2J"});
    EXPECT_EQ(rejected.status(), 2);
    EXPECT_EQ(rejected.err, "vantrel: unexpected argument \"two\\x0Alines\\x0D\\x1B[2J\" (vantrel takes only --help, "
                            "--version or --press KEY)\n");
}

TEST(CommandLine, PressTakesOneKeyFromF6ToF12InAnyLetterCase)
{
    for (const auto &[argument, key] :
         {std::pair{"F6", vantrel::platform::FunctionKey::F6}, std::pair{"f8", vantrel::platform::FunctionKey::F8},
          std::pair{"F12", vantrel::platform::FunctionKey::F12}}) {
        const Answer press = answer({"--press", argument});
        const auto *handed = std::get_if<vantrel::HandOverPress>(&press.command);
        ASSERT_TRUE(handed) << argument;
        EXPECT_EQ(handed->key, key);
        EXPECT_EQ(press.err, "");
    }

    // As long as the system lets one argument be: not repeated back.
    const std::string longest(128 * 1024 - 1, 'F');
    const struct {
        std::vector<const char *> arguments;
        std::string line;
    } wrong[] = {
        {{"--press"}, "vantrel: --press needs a key, F6 to F12\n"},
        {{"--press", "F5"}, "vantrel: --press takes a key from F6 to F12, not \"F5\"\n"},
        {{"--press", "F13"}, "vantrel: --press takes a key from F6 to F12, not \"F13\"\n"},
        {{"--press", " F8"}, "vantrel: --press takes a key from F6 to F12, not \" F8\"\n"},
        {{"--press", "F8\n"}, "vantrel: --press takes a key from F6 to F12, not \"F8\\x0A\"\n"},
        {{"--press", longest.c_str()}, "vantrel: --press takes a key from F6 to F12, not a text of 131071 bytes\n"},
        {{"--press", " F12"}, "vantrel: --press takes a key from F6 to F12, not a text of 4 bytes\n"},
    };
    for (const auto &w : wrong) {
        const Answer rejected = answer(w.arguments);
        EXPECT_EQ(rejected.status(), 2) << w.line;
        EXPECT_EQ(rejected.err, w.line);
    }
}

// Standard output closed or on a full disk.
class FailingSink : public vantrel::TextSink {
public:
    bool write(std::string_view) override { return false; }
};

TEST(CommandLine, AnAnswerThatCannotBeWrittenIsAFailure)
{
    FailingSink out;
    vantrel::KeptText err;
    const std::vector<const char *> arguments{"vantrel", "--version"};
    const auto command = vantrel::readCommandLine(arguments, out, err);
    ASSERT_TRUE(std::holds_alternative<vantrel::ExitWith>(command));
    EXPECT_EQ(std::get<vantrel::ExitWith>(command).status, 1);
}

// Standard output as the program writes it: a full device is a failure, and
// what a working one gets is the text itself.
TEST(CommandLine, StandardOutputReportsWhetherTheTextArrived)
{
    using File = std::unique_ptr<std::FILE, decltype(&std::fclose)>;
    const File full(std::fopen("/dev/full", "w"), &std::fclose);
    ASSERT_TRUE(full);
    EXPECT_FALSE(vantrel::StdioSink(full.get()).write(vantrel::versionLine() + "\n"));

    const File file(std::tmpfile(), &std::fclose);
    ASSERT_TRUE(file);
    EXPECT_TRUE(vantrel::StdioSink(file.get()).write("Vantrel\n"));
    std::rewind(file.get());
    char read[16] = {};
    EXPECT_EQ(std::fread(read, 1, sizeof read, file.get()), 8u);
    EXPECT_STREQ(read, "Vantrel\n");
}

} // namespace
