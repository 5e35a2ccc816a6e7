#include "dialog_driver.h"

#include <chrono>
#include <vector>

namespace vantrel::test {

HWND waitForWindow(const std::wstring &windowClass, const std::wstring &title, DWORD timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    do {
        if (HWND window = FindWindowW(windowClass.c_str(), title.c_str()); window && IsWindowVisible(window))
            return window;
        Sleep(10);
    } while (std::chrono::steady_clock::now() < deadline);
    return nullptr;
}

HWND findDescendant(HWND ancestor, int id, const wchar_t *windowClass)
{
    struct Search {
        int id;
        const wchar_t *windowClass;
        HWND found = nullptr;
    } search{id, windowClass};
    EnumChildWindows(
        ancestor,
        [](HWND child, LPARAM data) -> BOOL {
            auto *search = reinterpret_cast<Search *>(data);
            wchar_t name[64] = {};
            GetClassNameW(child, name, 64);
            if (GetDlgCtrlID(child) == search->id && lstrcmpiW(name, search->windowClass) == 0) {
                search->found = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring windowText(HWND window)
{
    const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

DialogDriver::DialogDriver(std::wstring windowClass, std::wstring title, std::function<void(HWND)> script)
    : thread_([this, windowClass = std::move(windowClass), title = std::move(title), script = std::move(script)] {
          if (HWND dialog = waitForWindow(windowClass, title)) {
              found_ = true;
              script(dialog);
          }
      })
{
}

DialogDriver::~DialogDriver()
{
    if (thread_.joinable())
        thread_.join();
}

bool DialogDriver::join()
{
    thread_.join();
    return found_;
}

} // namespace vantrel::test
