#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <optional>
#include <thread>

namespace vantrel::platform::windows_backend {

// What a window does with a message; nothing leaves it to the default
// handling.
using MessageHandler = std::function<std::optional<LRESULT>(UINT message, WPARAM wParam, LPARAM lParam)>;

// A message-only window of the calling thread: never shown, found by its
// class name, and there only to take messages. Its class is registered while
// any window of it exists.
class MessageOnlyWindow {
public:
    MessageOnlyWindow(const wchar_t *className, const wchar_t *title, MessageHandler handler);
    ~MessageOnlyWindow();
    MessageOnlyWindow(const MessageOnlyWindow &) = delete;
    MessageOnlyWindow &operator=(const MessageOnlyWindow &) = delete;

    // Null where the window could not be made, or once it is destroyed.
    HWND window() const { return window_; }
    // The system's reason where the window could not be made.
    DWORD error() const { return error_; }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    const wchar_t *className_;
    MessageHandler handler_;
    bool classInUse_ = false;
    HWND window_ = nullptr;
    DWORD error_ = ERROR_SUCCESS;
};

// A message-only window on a thread of its own, which does nothing but take
// the window's messages until the window is closed.
class MessageOnlyWindowThread {
public:
    // Runs on the thread once the window is there and before any message is
    // taken; the system's reason for an error, which stops the start, or
    // nothing.
    using Preparation = std::function<std::optional<DWORD>(HWND window)>;

    MessageOnlyWindowThread() = default;
    // Closes the window and waits for its thread to end.
    ~MessageOnlyWindowThread();
    MessageOnlyWindowThread(const MessageOnlyWindowThread &) = delete;
    MessageOnlyWindowThread &operator=(const MessageOnlyWindowThread &) = delete;

    // Returns once the window is there and prepared, or with the system's
    // reason why not; at once where it was started before. The names must
    // outlive the thread.
    bool start(const wchar_t *className, const wchar_t *title, MessageHandler handler, Preparation prepare,
               DWORD *error);

    HWND window() const { return window_; }
    // False before the start and once the window has gone, by the
    // destructor's hand or anybody else's.
    bool running() const { return running_.load(); }

private:
    std::thread thread_;
    HWND window_ = nullptr;
    std::atomic<bool> running_{false};
};

} // namespace vantrel::platform::windows_backend
