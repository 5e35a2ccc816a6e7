#include "support/redirected_standard_input.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace vantrel::test {

namespace {

[[noreturn]] void fail(const char *what)
{
    std::perror(what);
    std::abort();
}

} // namespace

struct RedirectedStandardInput::Handles {
    int savedInput = -1;
    int writeEnd = -1;
};

RedirectedStandardInput::RedirectedStandardInput(Source source) : handles_(std::make_unique<Handles>())
{
    handles_->savedInput = dup(STDIN_FILENO);
    if (handles_->savedInput < 0)
        fail("dup");
    int input = -1;
    if (source == Source::pipe) {
        int ends[2];
        if (pipe(ends) != 0)
            fail("pipe");
        input = ends[0];
        handles_->writeEnd = ends[1];
    } else {
        input = open("/dev/null", O_RDONLY);
        if (input < 0)
            fail("/dev/null");
    }
    if (dup2(input, STDIN_FILENO) < 0)
        fail("dup2");
    close(input);
}

RedirectedStandardInput::~RedirectedStandardInput()
{
    closeWriteEnd();
    dup2(handles_->savedInput, STDIN_FILENO);
    close(handles_->savedInput);
}

void RedirectedStandardInput::write(std::string_view text)
{
    if (::write(handles_->writeEnd, text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        fail("write");
}

void RedirectedStandardInput::closeWriteEnd()
{
    if (handles_->writeEnd >= 0)
        close(handles_->writeEnd);
    handles_->writeEnd = -1;
}

} // namespace vantrel::test
