#include "platform/win32/window_message_session.h"

#include "platform/win32/system_message.h"

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <future>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>

namespace vantrel::platform::windows_backend {

namespace {

// "Local\": the namespace of this Windows session, so that each user logged
// on (and each remote session) has a Vantrel of its own.
constexpr wchar_t kMutexName[] = L"Local\\Morvask.Vantrel";
constexpr wchar_t kWindowClass[] = L"Morvask.Vantrel.Session";

// What a WM_COPYDATA message asks or tells. A press carries the key's slot
// and the window of the asker that takes the refusal's text, which comes
// back as a reply message while the asker still waits for its press.
constexpr ULONG_PTR kPressRequest = 0x56500001;
constexpr ULONG_PTR kShowConfigurationRequest = 0x56500002;
constexpr ULONG_PTR kRefusalReply = 0x56500003;
struct PressRequest {
    std::uint32_t slot;
    std::uint64_t replyWindow;
};

// What the running copy answers a request with.
enum : LRESULT {
    kRejected = 0, // not a request it knows
    kTaken = 1,    // done, or the file is opening
    kRefused = 2,  // the press will not open its file; the reply said why
    kUnanswered = 3,
};

// A press is answered once the program has handed its file to the shell,
// which takes milliseconds; only a stopped or hung copy takes longer. The
// asker waits a little longer than the running copy, to hear it give up.
constexpr auto kAnswerWait = std::chrono::seconds(9);
constexpr UINT kAskerTimeoutMs = 10000;

constexpr wchar_t kReplyWindowClass[] = L"Morvask.Vantrel.Reply";

// Between taking the mutex and making its window, a copy that starts takes a
// few milliseconds; a copy that holds the mutex for longer without a window
// is stuck in its start.
constexpr auto kWindowWait = std::chrono::seconds(3);

std::string failure(const char *what, DWORD error) { return std::string(what) + ": " + systemMessage(error); }

bool copyRunning()
{
    const HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, kMutexName);
    if (!mutex)
        return false;
    CloseHandle(mutex);
    return true;
}

// The running copy's window; while a copy holds the mutex but is still
// starting, waits for its window to come.
HWND runningCopyWindow()
{
    const auto deadline = std::chrono::steady_clock::now() + kWindowWait;
    for (;;) {
        if (const HWND window = FindWindowExW(HWND_MESSAGE, nullptr, kWindowClass, nullptr))
            return window;
        if (!copyRunning() || std::chrono::steady_clock::now() > deadline)
            return nullptr;
        Sleep(10);
    }
}

// The asker's side of a reply: a message-only window that keeps the text
// sent to it.
class ReplyWindow {
public:
    ReplyWindow()
    {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kReplyWindowClass;
        RegisterClassExW(&windowClass);
        window_ = CreateWindowExW(0, kReplyWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
    }
    ~ReplyWindow()
    {
        if (window_)
            DestroyWindow(window_);
    }
    ReplyWindow(const ReplyWindow &) = delete;
    ReplyWindow &operator=(const ReplyWindow &) = delete;

    HWND window() const { return window_; }
    const std::string &text() const { return text_; }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            const auto *creation = reinterpret_cast<const CREATESTRUCTW *>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
        }
        auto *reply = reinterpret_cast<ReplyWindow *>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_COPYDATA && reply) {
            const auto &data = *reinterpret_cast<const COPYDATASTRUCT *>(lParam);
            if (data.dwData != kRefusalReply)
                return FALSE;
            reply->text_.assign(static_cast<const char *>(data.lpData), data.cbData);
            return TRUE;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND window_ = nullptr;
    std::string text_;
};

SessionBus::Delivery send(COPYDATASTRUCT &data, const ReplyWindow *reply, std::string *error)
{
    const HWND window = runningCopyWindow();
    if (!window)
        return SessionBus::Delivery::NoneRunning;
    DWORD_PTR answer = kRejected;
    // While it waits, this thread takes the reply sent to its window.
    if (!SendMessageTimeoutW(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, kAskerTimeoutMs,
                             &answer)) {
        const DWORD code = GetLastError();
        if (code == ERROR_TIMEOUT || code == 0) {
            if (error)
                *error = "no answer within " + std::to_string(kAskerTimeoutMs / 1000) + " seconds";
            return SessionBus::Delivery::NoAnswer;
        }
        if (error)
            *error = failure("the running Vantrel could not be asked", code);
        return SessionBus::Delivery::Failed;
    }
    switch (answer) {
    case kTaken:
        return SessionBus::Delivery::Delivered;
    case kRefused:
        if (error)
            *error = reply && !reply->text().empty() ? reply->text() : "the running Vantrel refused it";
        return SessionBus::Delivery::Refused;
    case kUnanswered:
        if (error)
            *error = "the running Vantrel is busy";
        return SessionBus::Delivery::NoAnswer;
    default:
        if (error)
            *error = "the running Vantrel did not understand the request";
        return SessionBus::Delivery::Failed;
    }
}

// A press taken by the server thread, answered by whichever thread handles
// it; the server thread waits for the answer to pass it on.
class WindowPress final : public HandedOverPress {
public:
    struct Answer {
        std::mutex lock;
        std::condition_variable given;
        std::optional<std::string> refusal;
    };

    WindowPress(FunctionKey key, std::shared_ptr<Answer> answer) : key_(key), answer_(std::move(answer)) {}
    ~WindowPress() override { answer("Vantrel ended before it could open it"); }
    WindowPress(const WindowPress &) = delete;
    WindowPress &operator=(const WindowPress &) = delete;

    FunctionKey key() const override { return key_; }

    void answer(const std::string &refusal) override
    {
        const std::lock_guard guard(answer_->lock);
        if (answer_->refusal)
            return;
        answer_->refusal = refusal.empty() ? refusal : std::string(keyLabel(key_)) + " is not opened: " + refusal;
        answer_->given.notify_all();
    }

private:
    FunctionKey key_;
    std::shared_ptr<Answer> answer_;
};

} // namespace

struct WindowMessageSession::Server {
    HANDLE mutex = nullptr;
    HANDLE news = nullptr;
    HWND window = nullptr;
    std::thread thread;

    std::mutex lock;
    SessionRequests waiting;

    ~Server()
    {
        // Presses never collected are answered first: the thread may be
        // waiting for one of those answers.
        SessionRequests unanswered;
        {
            const std::lock_guard guard(lock);
            unanswered = std::move(waiting);
        }
        unanswered.presses.clear();
        if (thread.joinable()) {
            PostMessageW(window, WM_CLOSE, 0, 0);
            thread.join();
        }
        if (news)
            CloseHandle(news);
        if (mutex)
            CloseHandle(mutex);
    }

    void queue(std::unique_ptr<HandedOverPress> press, bool showConfiguration)
    {
        const std::lock_guard guard(lock);
        if (press)
            waiting.presses.push_back(std::move(press));
        waiting.showConfiguration = waiting.showConfiguration || showConfiguration;
        SetEvent(news);
    }

    LRESULT takePress(const PressRequest &request)
    {
        if (request.slot >= kFunctionKeyCount)
            return kRejected;
        auto answer = std::make_shared<WindowPress::Answer>();
        queue(std::make_unique<WindowPress>(kFunctionKeys[request.slot], answer), false);
        std::string refusal;
        {
            std::unique_lock guard(answer->lock);
            if (!answer->given.wait_for(guard, kAnswerWait, [&] { return answer->refusal.has_value(); }))
                return kUnanswered;
            refusal = *answer->refusal;
        }
        if (refusal.empty())
            return kTaken;
        COPYDATASTRUCT reply{kRefusalReply, static_cast<DWORD>(refusal.size()), refusal.data()};
        const auto replyWindow = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(request.replyWindow));
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(replyWindow, WM_COPYDATA, reinterpret_cast<WPARAM>(window),
                            reinterpret_cast<LPARAM>(&reply), SMTO_ABORTIFHUNG, kAskerTimeoutMs, &ignored);
        return kRefused;
    }

    LRESULT take(const COPYDATASTRUCT &data)
    {
        if (data.dwData == kShowConfigurationRequest && data.cbData == 0) {
            queue(nullptr, true);
            return kTaken;
        }
        if (data.dwData == kPressRequest && data.cbData == sizeof(PressRequest)) {
            PressRequest request{};
            std::memcpy(&request, data.lpData, sizeof request);
            return takePress(request);
        }
        return kRejected;
    }

    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            const auto *creation = reinterpret_cast<const CREATESTRUCTW *>(lParam);
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
        }
        auto *server = reinterpret_cast<Server *>(GetWindowLongPtrW(window, GWLP_USERDATA));
        switch (message) {
        case WM_COPYDATA:
            return server ? server->take(*reinterpret_cast<const COPYDATASTRUCT *>(lParam)) : kRejected;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
        }
    }

    void run(std::promise<std::string> &started)
    {
        const HINSTANCE instance = GetModuleHandleW(nullptr);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = instance;
        windowClass.lpszClassName = kWindowClass;
        if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
            started.set_value(failure("cannot take requests", GetLastError()));
            return;
        }
        window = CreateWindowExW(0, kWindowClass, L"Vantrel", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
        if (!window) {
            started.set_value(failure("cannot take requests", GetLastError()));
            return;
        }
        started.set_value({});
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0)
            DispatchMessageW(&message);
    }
};

WindowMessageSession::WindowMessageSession() = default;
WindowMessageSession::~WindowMessageSession() = default;

SessionBus::Claim WindowMessageSession::claimName(std::string *error)
{
    if (server_)
        return Claim::Owned;
    auto server = std::make_unique<Server>();
    server->mutex = CreateMutexW(nullptr, FALSE, kMutexName);
    const DWORD created = GetLastError();
    if (!server->mutex) {
        if (error)
            *error = failure("cannot tell whether Vantrel runs already", created);
        return Claim::Failed;
    }
    if (created == ERROR_ALREADY_EXISTS)
        return Claim::HeldElsewhere;
    server->news = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!server->news) {
        if (error)
            *error = failure("cannot take requests", GetLastError());
        return Claim::Failed;
    }
    std::promise<std::string> started;
    auto outcome = started.get_future();
    server->thread = std::thread([raw = server.get(), &started] { raw->run(started); });
    if (const std::string problem = outcome.get(); !problem.empty()) {
        server->thread.join();
        if (error)
            *error = problem;
        return Claim::Failed;
    }
    server_ = std::move(server);
    return Claim::Owned;
}

SessionBus::Delivery WindowMessageSession::press(FunctionKey key, std::string *error)
{
    const ReplyWindow reply;
    PressRequest request{static_cast<std::uint32_t>(slotIndex(key)),
                         static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(reply.window()))};
    COPYDATASTRUCT data{kPressRequest, sizeof request, &request};
    return send(data, &reply, error);
}

SessionBus::Delivery WindowMessageSession::showConfiguration(std::string *error)
{
    COPYDATASTRUCT data{kShowConfigurationRequest, 0, nullptr};
    return send(data, nullptr, error);
}

void *WindowMessageSession::wakeupEvent() const { return server_ ? server_->news : nullptr; }

SessionRequests WindowMessageSession::collect()
{
    if (!server_)
        return {};
    const std::lock_guard guard(server_->lock);
    SessionRequests taken = std::move(server_->waiting);
    server_->waiting = {};
    return taken;
}

} // namespace vantrel::platform::windows_backend
