#pragma once

#include <windows.h>

#include <string>

namespace vantrel::win32_app {

// The argument that makes vantrel.exe run only the website window. Not for
// users: --help does not name it, and the resident command line rejects it.
inline constexpr char websiteWindowArgument[] = "--website-window";

// The full path of the running vantrel.exe.
std::wstring programPath();

// The website window runs in a second vantrel.exe, started on demand and
// ending with its window, so that the resident program never carries the
// browser control's memory. A second show() while it runs brings its window
// to the front instead of starting another.
class WebsiteProcess {
public:
    WebsiteProcess() = default;
    ~WebsiteProcess();
    WebsiteProcess(const WebsiteProcess &) = delete;
    WebsiteProcess &operator=(const WebsiteProcess &) = delete;

    void show();
    // Closes the window and waits a little for its process to end before it
    // is ended by force.
    void close();

private:
    bool running() const;
    void bringForward() const;
    void forget();

    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

} // namespace vantrel::win32_app
