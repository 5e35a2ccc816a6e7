#include "platform/standard_input.h"

#include <windows.h>

#include <algorithm>

namespace vantrel::platform {

bool standardInputIsPipe()
{
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    return input != nullptr && input != INVALID_HANDLE_VALUE && GetFileType(input) == FILE_TYPE_PIPE;
}

std::size_t readStandardInput(std::span<char> buffer)
{
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (input == nullptr || input == INVALID_HANDLE_VALUE)
        return 0;
    // A pipe whose writer has gone fails with ERROR_BROKEN_PIPE: the end of
    // the input, like every other failure here.
    const auto wanted = static_cast<DWORD>(std::min<std::size_t>(buffer.size(), MAXDWORD));
    DWORD count = 0;
    if (!ReadFile(input, buffer.data(), wanted, &count, nullptr))
        return 0;
    return count;
}

} // namespace vantrel::platform
