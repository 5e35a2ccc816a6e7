#include "platform/win32/raw_input_key_source.h"

#include "platform/win32/system_message.h"

#include <windows.h>

#include <array>
#include <future>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace vantrel::platform::windows_backend {

namespace {

constexpr wchar_t kWindowClass[] = L"VantrelRawInputKeys";

std::optional<FunctionKey> functionKeyOf(USHORT virtualKey)
{
    for (const auto key : kFunctionKeys)
        if (virtualKeyCode(key) == virtualKey)
            return key;
    return std::nullopt;
}

} // namespace

struct RawInputKeySource::Shared {
    struct Tracked {
        bool down = false;
        unsigned presses = 0;
    };

    std::mutex mutex;
    std::array<Tracked, kFunctionKeyCount> keys{};
    bool running = false;
    HANDLE news = nullptr;
    HWND window = nullptr;
    std::thread thread;

    void keyReport(USHORT virtualKey, bool released)
    {
        const auto key = functionKeyOf(virtualKey);
        if (!key)
            return;
        const std::lock_guard lock(mutex);
        Tracked &tracked = keys[slotIndex(*key)];
        const bool fresh = !released && !tracked.down;
        tracked.down = !released;
        if (fresh) {
            ++tracked.presses;
            SetEvent(news);
        }
    }

    void takeInput(HRAWINPUT input)
    {
        RAWINPUT raw{};
        UINT size = sizeof raw;
        if (GetRawInputData(input, RID_INPUT, &raw, &size, sizeof(RAWINPUTHEADER)) == static_cast<UINT>(-1))
            return;
        if (raw.header.dwType == RIM_TYPEKEYBOARD)
            keyReport(raw.data.keyboard.VKey, (raw.data.keyboard.Flags & RI_KEY_BREAK) != 0);
    }

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            const auto *creation = reinterpret_cast<const CREATESTRUCTW *>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
        }
        auto *shared = reinterpret_cast<Shared *>(GetWindowLongPtrW(window, GWLP_USERDATA));
        switch (message) {
        case WM_INPUT:
            if (shared)
                shared->takeInput(reinterpret_cast<HRAWINPUT>(lParam));
            // The system frees the input's memory here.
            return DefWindowProcW(window, message, wParam, lParam);
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
        }
    }

    // The thread's whole life: the window, the registration, the messages.
    void run(std::promise<std::string> &started)
    {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kWindowClass;
        // A second source in the same process finds the class registered.
        if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            started.set_value("cannot watch the keys: " + systemMessage(GetLastError()));
            return;
        }
        window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
        if (!window) {
            started.set_value("cannot watch the keys: " + systemMessage(GetLastError()));
            return;
        }
        // Keyboards: usage page 1 (generic desktop), usage 6.
        const RAWINPUTDEVICE keyboards{0x01, 0x06, RIDEV_INPUTSINK, window};
        if (!RegisterRawInputDevices(&keyboards, 1, sizeof keyboards)) {
            const DWORD error = GetLastError();
            DestroyWindow(window);
            started.set_value("cannot watch the keys: " + systemMessage(error));
            return;
        }
        // Keys already down belong to presses from before the start.
        {
            const std::lock_guard lock(mutex);
            for (const auto key : kFunctionKeys)
                keys[slotIndex(key)].down = (GetAsyncKeyState(virtualKeyCode(key)) & 0x8000) != 0;
        }
        started.set_value({});

        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0)
            DispatchMessageW(&message);
        const std::lock_guard lock(mutex);
        running = false;
    }
};

RawInputKeySource::RawInputKeySource() : shared_(std::make_unique<Shared>())
{
    shared_->news = CreateEventW(nullptr, FALSE, FALSE, nullptr);
}

RawInputKeySource::~RawInputKeySource()
{
    if (shared_->thread.joinable()) {
        PostMessageW(shared_->window, WM_CLOSE, 0, 0);
        shared_->thread.join();
    }
    if (shared_->news)
        CloseHandle(shared_->news);
}

bool RawInputKeySource::start(std::string *error)
{
    if (shared_->thread.joinable())
        return true;
    if (!shared_->news) {
        if (error)
            *error = "cannot watch the keys: " + systemMessage(GetLastError());
        return false;
    }
    std::promise<std::string> started;
    auto outcome = started.get_future();
    shared_->running = true;
    shared_->thread = std::thread([shared = shared_.get(), &started] { shared->run(started); });
    const std::string problem = outcome.get();
    if (problem.empty())
        return true;
    shared_->thread.join();
    shared_->running = false;
    if (error)
        *error = problem;
    return false;
}

KeySourceWakeup RawInputKeySource::wakeup() const
{
    KeySourceWakeup wakeup;
    wakeup.event = shared_->news;
    return wakeup;
}

bool RawInputKeySource::collect()
{
    const std::lock_guard lock(shared_->mutex);
    return shared_->running;
}

KeyState RawInputKeySource::query(FunctionKey key)
{
    const std::lock_guard lock(shared_->mutex);
    auto &tracked = shared_->keys[slotIndex(key)];
    const KeyState state{tracked.down, tracked.presses};
    tracked.presses = 0;
    return state;
}

} // namespace vantrel::platform::windows_backend
