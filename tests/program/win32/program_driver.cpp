#include "program_driver.h"

#include <atomic>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <system_error>

namespace vantrel::test::program {

namespace fs = std::filesystem;

namespace {

const std::wstring &vantrelExe()
{
    static const std::wstring path = fromUnix(VANTREL_EXE);
    return path;
}

class Handle {
public:
    explicit Handle(HANDLE handle = nullptr) : handle_(handle) {}
    ~Handle()
    {
        if (handle_ && handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    HANDLE get() const { return handle_; }
    HANDLE *out() { return &handle_; }
    void reset()
    {
        if (handle_ && handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
        handle_ = nullptr;
    }

private:
    HANDLE handle_;
};

// What a pipe holds now, without waiting for its end: a program that the
// child started (Wine's desktop process, at the first window) may hold the
// writing end for ever.
std::string readWaiting(HANDLE pipe)
{
    std::string text;
    char buffer[4096];
    DWORD waiting = 0;
    while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0) {
        DWORD count = 0;
        if (!ReadFile(pipe, buffer, sizeof buffer, &count, nullptr) || count == 0)
            break;
        text.append(buffer, count);
    }
    return text;
}

// Room for all that the program says, so that it never waits for a reader.
constexpr DWORD kPipeSize = 1 << 16;

std::wstring keyPath(Place place)
{
    switch (place) {
    case Place::UsersKey:
        return L"Software\\Morvask\\Quintor";
    case Place::MachineKey:
        return L"Software\\WOW6432Node\\Morvask\\Quintor";
    case Place::VirtualStore:
        return L"Software\\Classes\\VirtualStore\\MACHINE\\SOFTWARE\\WOW6432Node\\Morvask\\Quintor";
    }
    return {};
}

HKEY rootOf(Place place) { return place == Place::MachineKey ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER; }

void check(LSTATUS status, const char *what)
{
    if (status != ERROR_SUCCESS)
        throw std::system_error(static_cast<int>(status), std::system_category(), what);
}

} // namespace

// The build names its programs by their Linux paths.
std::wstring fromUnix(const char *path)
{
    std::wstring converted = L"Z:";
    for (const char *c = path; *c; ++c)
        converted.push_back(*c == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*c)));
    return converted;
}

TestFolder::TestFolder()
{
    // Wine numbers processes per server: runs of these tests in other
    // prefixes on the same machine share /tmp and the same process numbers.
    // The folder is ours only once we have made it, so a name taken is
    // skipped, never cleared: that would pull the folder from under a test
    // of another run.
    static std::atomic<int> made{0};
    for (;;) {
        path_ = fs::path(L"Z:\\tmp") /
                (L"vantrel-program-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++made));
        if (CreateDirectoryW(path_.c_str(), nullptr))
            return;
        if (const DWORD error = GetLastError(); error != ERROR_ALREADY_EXISTS)
            throw std::system_error(static_cast<int>(error), std::system_category(), "cannot make a test folder");
    }
}

TestFolder::~TestFolder()
{
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string TestFolder::unixPath() const
{
    std::string unix;
    for (const wchar_t c : path_.wstring().substr(2))
        unix.push_back(c == L'\\' ? '/' : static_cast<char>(c));
    return unix;
}

Recorder::Recorder(const TestFolder &folder, const std::wstring &name) : path_(folder.path() / name)
{
    fs::copy_file(fromUnix(VANTREL_OPEN_PROBE), path_);
}

int Recorder::runs() const
{
    fs::path log = path_;
    log += L".opened";
    std::ifstream in(log);
    int lines = 0;
    for (std::string line; std::getline(in, line);)
        ++lines;
    return lines;
}

int Recorder::runsSettled(int expected) const
{
    eventually([&] { return runs() >= expected; });
    Sleep(400);
    return runs();
}

Finished runProgram(const std::wstring &program, const std::wstring &arguments)
{
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    Handle outRead, outWrite, errRead, errWrite;
    if (!CreatePipe(outRead.out(), outWrite.out(), &inherited, kPipeSize) ||
        !CreatePipe(errRead.out(), errWrite.out(), &inherited, kPipeSize))
        throw std::runtime_error("cannot make pipes");
    SetHandleInformation(outRead.get(), HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = outWrite.get();
    startup.hStdError = errWrite.get();
    std::wstring commandLine = L"\"" + program + L"\" " + arguments;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process))
        throw std::runtime_error("cannot start a program");
    const Handle thread(process.hThread);
    const Handle child(process.hProcess);
    outWrite.reset();
    errWrite.reset();

    if (WaitForSingleObject(child.get(), 20000) != WAIT_OBJECT_0) {
        TerminateProcess(child.get(), 0xDEAD);
        throw std::runtime_error("a program did not end");
    }
    Finished finished;
    GetExitCodeProcess(child.get(), &finished.status);
    finished.out = readWaiting(outRead.get());
    finished.err = readWaiting(errRead.get());
    return finished;
}

Finished runVantrel(const std::wstring &arguments) { return runProgram(vantrelExe(), arguments); }

std::wstring textOf(HWND window)
{
    wchar_t text[4096] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        &length);
    return text;
}

std::vector<HWND> residentWindows()
{
    std::vector<HWND> found;
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, L"Morvask.Vantrel.Resident", nullptr));)
        found.push_back(window);
    return found;
}

std::wstring programOf(HWND window)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    const Handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, owner));
    if (!process.get())
        return {};
    wchar_t path[MAX_PATH * 4];
    DWORD size = static_cast<DWORD>(std::size(path));
    if (!QueryFullProcessImageNameW(process.get(), 0, path, &size))
        return {};
    return std::wstring(path, size);
}

RunningVantrel::RunningVantrel(const TestFolder &folder) : errorFile_(folder.path() / L"vantrel.stderr")
{
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const Handle errors(CreateFileW(errorFile_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                    CREATE_ALWAYS, 0, nullptr));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdError = errors.get();
    std::wstring commandLine = L"\"" + vantrelExe() + L"\"";
    if (!CreateProcessW(vantrelExe().c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process_))
        throw std::runtime_error("cannot start vantrel.exe");
}

RunningVantrel::~RunningVantrel()
{
    if (const HWND window = residentWindow())
        PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0)
        TerminateProcess(process_.hProcess, 0xDEAD);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

HWND RunningVantrel::residentWindow() const
{
    for (const HWND window : residentWindows()) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == process_.dwProcessId)
            return window;
    }
    return nullptr;
}

bool trayIconShown(HWND owner)
{
    NOTIFYICONDATAW icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = owner;
    icon.uID = 1;
    return Shell_NotifyIconW(NIM_MODIFY, &icon) != FALSE;
}

bool RunningVantrel::waitUntilResident()
{
    // The tray icon comes last, once the keys are watched.
    return eventually([&] {
        const HWND window = residentWindow();
        return window && trayIconShown(window);
    });
}

bool RunningVantrel::hasEnded(std::chrono::milliseconds within) const
{
    return WaitForSingleObject(process_.hProcess, static_cast<DWORD>(within.count())) == WAIT_OBJECT_0;
}

std::optional<DWORD> RunningVantrel::exitStatus() const
{
    DWORD status = 0;
    if (!GetExitCodeProcess(process_.hProcess, &status) || status == STILL_ACTIVE)
        return std::nullopt;
    return status;
}

std::string RunningVantrel::diagnostics() const
{
    std::ifstream in(errorFile_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

FocusedWindow::FocusedWindow(const TestFolder &folder)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VantrelProgramTestFocus";
    RegisterClassW(&windowClass);
    const std::wstring title = L"vantrel program test " + std::to_wstring(GetCurrentProcessId());
    window_ = CreateWindowExW(0, windowClass.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 200, 200, 240, 120,
                              nullptr, nullptr, windowClass.hInstance, nullptr);
    ShowWindow(window_, SW_SHOWNORMAL);
    SetForegroundWindow(window_);
    // Without a window manager nobody hands the X focus to the window.
    runLinux(folder,
             "xdotool search --sync --name '" + std::string(title.begin(), title.end()) + "' windowfocus --sync");
    keyDowns = 0;
}

FocusedWindow::~FocusedWindow() { DestroyWindow(window_); }

bool FocusedWindow::focused() const { return GetForegroundWindow() == window_; }

LRESULT CALLBACK FocusedWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if ((message == WM_KEYDOWN || message == WM_SYSKEYDOWN) && wParam >= VK_F6 && wParam <= VK_F12)
        ++keyDowns;
    // F10 alone would open the window menu, whose loop keeps every later key.
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_KEYMENU)
        return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

void setValue(Place place, const std::wstring &name, DWORD type, const std::vector<BYTE> &data)
{
    HKEY key = nullptr;
    check(RegCreateKeyExW(rootOf(place), keyPath(place).c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_64KEY,
                          nullptr, &key, nullptr),
          "cannot create the settings key");
    const LSTATUS status = RegSetValueExW(key, name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    check(status, "cannot set a settings value");
}

void setString(Place place, const std::wstring &name, const std::wstring &value)
{
    const auto *bytes = reinterpret_cast<const BYTE *>(value.c_str());
    setValue(place, name, REG_SZ, std::vector<BYTE>(bytes, bytes + (value.size() + 1) * sizeof(wchar_t)));
}

std::optional<std::wstring> stringAt(Place place, const std::wstring &name)
{
    DWORD size = 0;
    if (RegGetValueW(rootOf(place), keyPath(place).c_str(), name.c_str(), RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY,
                     nullptr, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::wstring text(size / sizeof(wchar_t), L'\0');
    if (RegGetValueW(rootOf(place), keyPath(place).c_str(), name.c_str(), RRF_RT_REG_SZ | RRF_SUBKEY_WOW6464KEY,
                     nullptr, text.data(), &size) != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(size / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return text;
}

std::wstring exportedUsersKey(const TestFolder &folder)
{
    const std::filesystem::path file = folder.path() / L"users-key.reg";
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const Finished exported =
        runProgram(std::wstring(system) + L"\\reg.exe",
                   L"export \"HKEY_CURRENT_USER\\" + keyPath(Place::UsersKey) + L"\" \"" + file.wstring() + L"\" /y");
    std::ifstream in(file, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (exported.status != 0 || bytes.size() % 2 != 0)
        return {};
    // UTF-16, as reg.exe writes it.
    std::wstring text(bytes.size() / 2, L'\0');
    std::memcpy(text.data(), bytes.data(), bytes.size());
    return text;
}

std::wstring exportedLine(const std::wstring &name, const std::wstring &value)
{
    const auto quoted = [](const std::wstring &text) {
        std::wstring escaped = L"\"";
        for (const wchar_t c : text)
            escaped += c == L'\\' || c == L'"' ? std::wstring{L'\\', c} : std::wstring{c};
        return escaped + L"\"";
    };
    return quoted(name) + L"=" + quoted(value) + L"\r\n";
}

bool keyExists(Place place)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(rootOf(place), keyPath(place).c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

void removeEverySettingsKey()
{
    for (const Place place : {Place::UsersKey, Place::MachineKey, Place::VirtualStore}) {
        const LSTATUS status = RegDeleteTreeW(rootOf(place), keyPath(place).c_str());
        if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
            check(status, "cannot remove a settings key");
    }
}

void sendTaps(WORD virtualKey, int count)
{
    for (int i = 0; i < count; ++i) {
        INPUT tap[2]{};
        tap[0].type = tap[1].type = INPUT_KEYBOARD;
        tap[0].ki.wVk = tap[1].ki.wVk = virtualKey;
        tap[1].ki.dwFlags = KEYEVENTF_KEYUP;
        if (SendInput(2, tap, sizeof(INPUT)) != 2)
            throw std::runtime_error("SendInput refused the keys");
    }
}

void runLinux(const TestFolder &folder, const std::string &command)
{
    const fs::path marker = folder.path() / L"linux-command.done";
    fs::remove(marker);
    const std::string line = "/bin/sh -c \"" + command + "; touch '" + folder.unixPath() + "/linux-command.done'\"";
    std::wstring commandLine(line.begin(), line.end());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // Wine runs a Linux program directly, but gives no handle to wait on:
    // the marker file says that the command is done.
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        throw std::runtime_error("cannot run " + command);
    // Meanwhile this thread takes in its messages: Wine reads the X events
    // of its windows (a focused one gets the keys) only then.
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!fs::exists(marker)) {
        if (std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("never finished: " + command);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

} // namespace vantrel::test::program
