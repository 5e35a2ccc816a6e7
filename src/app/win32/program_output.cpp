#include "app/win32/program_output.h"

#include <windows.h>

#include <string_view>

namespace vantrel::win32_app {

namespace {

std::wstring wide(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const int length = static_cast<int>(utf8.size());
    const int units = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(units), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, text.data(), units);
    return text;
}

// A console takes wide text; a pipe or a file takes the UTF-8 bytes.
bool writeTo(HANDLE handle, const std::string &text)
{
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || GetFileType(handle) == FILE_TYPE_UNKNOWN)
        return false;
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) {
        const std::wstring shown = wide(text);
        DWORD written = 0;
        return WriteConsoleW(handle, shown.data(), static_cast<DWORD>(shown.size()), &written, nullptr) != 0;
    }
    DWORD written = 0;
    return WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0 &&
           written == text.size();
}

// The console of the program that started this one (cmd.exe, PowerShell):
// a program with windows gets none of its own, but may join that one.
HANDLE parentConsole()
{
    static const HANDLE console = [] {
        if (!AttachConsole(ATTACH_PARENT_PROCESS))
            return INVALID_HANDLE_VALUE;
        return CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    }();
    return console;
}

void deliver(const std::string &text, DWORD standardHandle, UINT icon)
{
    if (text.empty())
        return;
    if (writeTo(GetStdHandle(standardHandle), text) || writeTo(parentConsole(), text))
        return;
    std::string shown = text;
    while (!shown.empty() && shown.back() == '\n')
        shown.pop_back();
    MessageBoxW(nullptr, wide(shown).c_str(), L"Vantrel", MB_OK | icon | MB_SETFOREGROUND);
}

} // namespace

void deliverOutput(const std::string &out, const std::string &err)
{
    deliver(out, STD_OUTPUT_HANDLE, MB_ICONINFORMATION);
    deliver(err, STD_ERROR_HANDLE, MB_ICONERROR);
}

} // namespace vantrel::win32_app
