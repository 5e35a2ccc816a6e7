#include "platform/win32/raw_input_key_source.h"

#include "platform/win32/message_only_window.h"
#include "platform/win32/system_message.h"

#include <windows.h>

#include <array>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

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
    std::unique_ptr<void, decltype(&CloseHandle)> news{CreateEventW(nullptr, FALSE, FALSE, nullptr), &CloseHandle};
    const DWORD newsError = news ? ERROR_SUCCESS : GetLastError();
    // Last: it sets the event until it ends.
    MessageOnlyWindowThread listener;

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
            SetEvent(news.get());
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

    // On the listener's thread, before it takes any input.
    std::optional<DWORD> listen(HWND window)
    {
        // Keyboards: usage page 1 (generic desktop), usage 6.
        const RAWINPUTDEVICE keyboards{0x01, 0x06, RIDEV_INPUTSINK, window};
        if (!RegisterRawInputDevices(&keyboards, 1, sizeof keyboards))
            return GetLastError();
        // Keys already down belong to presses from before the start.
        const std::lock_guard lock(mutex);
        for (const auto key : kFunctionKeys)
            keys[slotIndex(key)].down = (GetAsyncKeyState(virtualKeyCode(key)) & 0x8000) != 0;
        return std::nullopt;
    }
};

RawInputKeySource::RawInputKeySource() : shared_(std::make_unique<Shared>()) {}

RawInputKeySource::~RawInputKeySource() = default;

bool RawInputKeySource::start(std::string *error)
{
    Shared *shared = shared_.get();
    const auto take = [shared](UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        // The system frees the input's memory in the default handling that
        // follows.
        if (message == WM_INPUT)
            shared->takeInput(reinterpret_cast<HRAWINPUT>(lParam));
        return std::nullopt;
    };
    const auto listen = [shared](HWND window) { return shared->listen(window); };
    DWORD problem = shared->newsError;
    if (shared->news && shared->listener.start(kWindowClass, L"", take, listen, &problem))
        return true;
    if (error)
        *error = "cannot watch the keys: " + systemMessage(problem);
    return false;
}

KeySourceWakeup RawInputKeySource::wakeup() const
{
    KeySourceWakeup wakeup;
    wakeup.event = shared_->news.get();
    return wakeup;
}

bool RawInputKeySource::collect() { return shared_->listener.running(); }

KeyState RawInputKeySource::query(FunctionKey key)
{
    const std::lock_guard lock(shared_->mutex);
    auto &tracked = shared_->keys[slotIndex(key)];
    const KeyState state{tracked.down, tracked.presses};
    tracked.presses = 0;
    return state;
}

} // namespace vantrel::platform::windows_backend
