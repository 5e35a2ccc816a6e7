#include "app/command_line_answer.h"

#include "app/command_line.h"
#include "app/session.h"

#include <cstdio>
#include <variant>

namespace vantrel {

std::optional<int> answeredCommandLine(std::span<const char *const> arguments, TextSink &out, TextSink &err)
{
    const auto command = readCommandLine(arguments, out, err);
    if (const auto *answered = std::get_if<ExitWith>(&command))
        return answered->status;
    if (const auto *press = std::get_if<HandOverPress>(&command))
        return handOverPress(press->key, err);
    return std::nullopt;
}

std::optional<int> answeredCommandLine(std::span<const char *const> arguments)
{
    StdioSink out(stdout);
    StdioSink err(stderr);
    return answeredCommandLine(arguments, out, err);
}

} // namespace vantrel
