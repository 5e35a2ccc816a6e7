#include "platform/win32/window_message_session.h"

#include "platform/win32/message_only_window.h"
#include "platform/win32/system_message.h"

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
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
        : window_(kReplyWindowClass, L"", [this](UINT message, WPARAM, LPARAM lParam) { return take(message, lParam); })
    {
    }

    HWND window() const { return window_.window(); }
    const std::string &text() const { return text_; }

private:
    std::optional<LRESULT> take(UINT message, LPARAM lParam)
    {
        if (message != WM_COPYDATA)
            return std::nullopt;
        const auto &data = *reinterpret_cast<const COPYDATASTRUCT *>(lParam);
        if (data.dwData != kRefusalReply)
            return FALSE;
        text_.assign(static_cast<const char *>(data.lpData), data.cbData);
        return TRUE;
    }

    std::string text_;
    MessageOnlyWindow window_;
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
    std::unique_ptr<void, decltype(&CloseHandle)> mutex{nullptr, &CloseHandle};
    std::unique_ptr<void, decltype(&CloseHandle)> news{nullptr, &CloseHandle};

    std::mutex lock;
    SessionRequests waiting;

    // Last: it takes requests until it ends.
    MessageOnlyWindowThread requests;

    ~Server()
    {
        // Presses never collected are answered before the thread is ended:
        // it may be waiting for one of those answers.
        SessionRequests unanswered;
        {
            const std::lock_guard guard(lock);
            unanswered = std::move(waiting);
        }
        unanswered.presses.clear();
    }

    void queue(std::unique_ptr<HandedOverPress> press, bool showConfiguration)
    {
        const std::lock_guard guard(lock);
        if (press)
            waiting.presses.push_back(std::move(press));
        waiting.showConfiguration = waiting.showConfiguration || showConfiguration;
        SetEvent(news.get());
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
        SendMessageTimeoutW(replyWindow, WM_COPYDATA, reinterpret_cast<WPARAM>(requests.window()),
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
};

WindowMessageSession::WindowMessageSession() = default;
WindowMessageSession::~WindowMessageSession() = default;

SessionBus::Claim WindowMessageSession::claimName(std::string *error)
{
    if (server_)
        return Claim::Owned;
    auto server = std::make_unique<Server>();
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, kMutexName);
    const DWORD created = GetLastError();
    server->mutex.reset(mutex);
    if (!mutex) {
        if (error)
            *error = failure("cannot tell whether Vantrel runs already", created);
        return Claim::Failed;
    }
    if (created == ERROR_ALREADY_EXISTS)
        return Claim::HeldElsewhere;
    server->news.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    DWORD problem = server->news ? ERROR_SUCCESS : GetLastError();
    const auto take = [raw = server.get()](UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message != WM_COPYDATA)
            return std::nullopt;
        return raw->take(*reinterpret_cast<const COPYDATASTRUCT *>(lParam));
    };
    if (!server->news || !server->requests.start(kWindowClass, L"Vantrel", take, nullptr, &problem)) {
        if (error)
            *error = failure("cannot take requests", problem);
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

void *WindowMessageSession::wakeupEvent() const { return server_ ? server_->news.get() : nullptr; }

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
