#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <thread>

namespace vantrel::test {

// Plays the user of a modal dialog from a second thread, while the test's
// thread sits in the dialog's own message loop: waits for a top-level
// window of the class and title, then hands it to the script. The script
// must end the dialog; join() says whether the dialog came up at all.
class DialogDriver {
public:
    DialogDriver(std::wstring windowClass, std::wstring title, std::function<void(HWND)> script);
    ~DialogDriver();
    DialogDriver(const DialogDriver &) = delete;
    DialogDriver &operator=(const DialogDriver &) = delete;

    bool join();

private:
    std::thread thread_;
    bool found_ = false;
};

// A top-level window of this thread's process of that class and title,
// waited for up to the timeout; null when none came.
HWND waitForWindow(const std::wstring &windowClass, const std::wstring &title, DWORD timeoutMs = 5000);

// A descendant window with that control identifier and class, at any depth.
HWND findDescendant(HWND ancestor, int id, const wchar_t *windowClass);

// The text of a window, also of another thread's edit control.
std::wstring windowText(HWND window);

} // namespace vantrel::test
