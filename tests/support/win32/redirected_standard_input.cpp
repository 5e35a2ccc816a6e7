#include "support/redirected_standard_input.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace vantrel::test {

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "%s failed: error %lu\n", what, GetLastError());
    std::abort();
}

} // namespace

struct RedirectedStandardInput::Handles {
    HANDLE savedInput = nullptr;
    HANDLE input = nullptr;
    HANDLE writeEnd = nullptr;
};

RedirectedStandardInput::RedirectedStandardInput(Source source) : handles_(std::make_unique<Handles>())
{
    handles_->savedInput = GetStdHandle(STD_INPUT_HANDLE);
    if (source == Source::pipe) {
        if (!CreatePipe(&handles_->input, &handles_->writeEnd, nullptr, 0))
            fail("CreatePipe");
    } else {
        handles_->input =
            CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
        if (handles_->input == INVALID_HANDLE_VALUE)
            fail("CreateFileW NUL");
    }
    if (!SetStdHandle(STD_INPUT_HANDLE, handles_->input))
        fail("SetStdHandle");
}

RedirectedStandardInput::~RedirectedStandardInput()
{
    closeWriteEnd();
    SetStdHandle(STD_INPUT_HANDLE, handles_->savedInput);
    CloseHandle(handles_->input);
}

void RedirectedStandardInput::write(std::string_view text)
{
    DWORD written = 0;
    if (!WriteFile(handles_->writeEnd, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written != text.size())
        fail("WriteFile");
}

void RedirectedStandardInput::closeWriteEnd()
{
    if (handles_->writeEnd)
        CloseHandle(handles_->writeEnd);
    handles_->writeEnd = nullptr;
}

} // namespace vantrel::test
