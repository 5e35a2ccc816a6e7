#include "platform/win32/message_only_window.h"

#include <future>
#include <map>
#include <mutex>
#include <string>
#include <utility>

namespace vantrel::platform::windows_backend {

namespace {

// Windows of one class may live on several threads at once (two key
// sources in the tests, say); the first registers the class and the last
// takes it away again.
std::mutex classLock;
std::map<std::wstring, int> classUsers;

DWORD useClass(const wchar_t *name, WNDPROC procedure)
{
    const std::lock_guard guard(classLock);
    int &users = classUsers[name];
    if (users == 0) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = name;
        if (!RegisterClassExW(&windowClass)) {
            const DWORD error = GetLastError();
            classUsers.erase(name);
            return error;
        }
    }
    ++users;
    return ERROR_SUCCESS;
}

void releaseClass(const wchar_t *name)
{
    const std::lock_guard guard(classLock);
    const auto entry = classUsers.find(name);
    if (--entry->second > 0)
        return;
    classUsers.erase(entry);
    UnregisterClassW(name, GetModuleHandleW(nullptr));
}

} // namespace

MessageOnlyWindow::MessageOnlyWindow(const wchar_t *className, const wchar_t *title, MessageHandler handler)
    : className_(className), handler_(std::move(handler))
{
    error_ = useClass(className, procedure);
    if (error_ != ERROR_SUCCESS)
        return;
    classInUse_ = true;
    if (!CreateWindowExW(0, className, title, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr), this))
        error_ = GetLastError();
}

MessageOnlyWindow::~MessageOnlyWindow()
{
    if (window_)
        DestroyWindow(window_);
    if (classInUse_)
        releaseClass(className_);
}

LRESULT CALLBACK MessageOnlyWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto *self = static_cast<MessageOnlyWindow *>(reinterpret_cast<const CREATESTRUCTW *>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto *self = reinterpret_cast<MessageOnlyWindow *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
    } else if (self->handler_) {
        if (const auto result = self->handler_(message, wParam, lParam))
            return *result;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

MessageOnlyWindowThread::~MessageOnlyWindowThread()
{
    if (!thread_.joinable())
        return;
    PostMessageW(window_, WM_CLOSE, 0, 0);
    thread_.join();
}

bool MessageOnlyWindowThread::start(const wchar_t *className, const wchar_t *title, MessageHandler handler,
                                    Preparation prepare, DWORD *error)
{
    if (thread_.joinable())
        return true;
    // The reason it did not start, or nothing once it did.
    std::promise<std::optional<DWORD>> started;
    auto outcome = started.get_future();
    thread_ = std::thread([this, className, title, handler = std::move(handler), prepare = std::move(prepare),
                           started = std::move(started)]() mutable {
        // The thread's messages end with its window.
        const MessageOnlyWindow window(className, title, [&handler](UINT message, WPARAM wParam, LPARAM lParam) {
            if (message != WM_DESTROY)
                return handler(message, wParam, lParam);
            PostQuitMessage(0);
            return std::optional<LRESULT>(0);
        });
        if (!window.window()) {
            started.set_value(window.error());
            return;
        }
        if (const auto refused = prepare ? prepare(window.window()) : std::nullopt) {
            started.set_value(refused);
            return;
        }
        window_ = window.window();
        running_ = true;
        started.set_value(std::nullopt);
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0)
            DispatchMessageW(&message);
        running_ = false;
    });
    const auto problem = outcome.get();
    if (!problem)
        return true;
    thread_.join();
    if (error)
        *error = *problem;
    return false;
}

} // namespace vantrel::platform::windows_backend
