// The program the opener tests open: each run adds a line to
// "<its own path>.opened", so a test can tell that, and how often, it ran.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    if (path.empty())
        return 1;
    FILE *log = _wfopen((path + L".opened").c_str(), L"a");
    if (!log)
        return 1;
    std::fputs("opened\n", log);
    return std::fclose(log) == 0 ? 0 : 1;
}
