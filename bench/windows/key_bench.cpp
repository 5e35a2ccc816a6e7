// vantrel.exe's keys and start-up under Wine, in one run:
//  - taps of F6 to F12 sent with SendInput by a second Wine process (this
//    program again, with --send, holding a focused window as Wine needs),
//    the Raw Input key source and the real poller counting them in this
//    process: open requests, lost and doubled taps, key press to open
//    request;
//  - the real vantrel.exe's start to its tray icon.
// Needs Wine's desktop on an X display and xdotool: run it through
// bench/run-windows-keys.
//
//   windows_key_bench.exe [TAPS] [STARTS]

#include "bench_stats.h"
#include "program_driver.h"
#include "tap_flood.h"

#include "platform/win32/raw_input_key_source.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace vantrel;
using namespace vantrel::test::program;

constexpr wchar_t kSendArgument[] = L"--send";

bool readAll(HANDLE from, void *data, DWORD size)
{
    DWORD read = 0;
    return ReadFile(from, data, size, &read, nullptr) && read == size;
}

bool writeAll(HANDLE to, const void *data, DWORD size)
{
    DWORD written = 0;
    return WriteFile(to, data, size, &written, nullptr) && written == size;
}

// The sending process: a tap of the key of each slot it is given on its
// standard input, answered with the moment the press went out (the steady
// clock is the system's performance counter, the same in every process).
int sendTaps()
{
    TestFolder folder;
    FocusedWindow window(folder);
    const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    const DWORD windowThread = GetCurrentThreadId();
    std::thread taps([&] {
        const unsigned char ready = 1;
        writeAll(out, &ready, 1);
        for (unsigned char slot = 0; readAll(in, &slot, 1);) {
            INPUT tap[2]{};
            tap[0].type = tap[1].type = INPUT_KEYBOARD;
            tap[0].ki.wVk = tap[1].ki.wVk = static_cast<WORD>(VK_F6 + slot);
            tap[1].ki.dwFlags = KEYEVENTF_KEYUP;
            const long long sent = Clock::now().time_since_epoch().count();
            if (SendInput(2, tap, sizeof(INPUT)) != 2 || !writeAll(out, &sent, sizeof sent))
                break;
        }
        PostThreadMessageW(windowThread, WM_QUIT, 0, 0);
    });
    // The focused window's X events are read only while its thread takes in
    // its messages.
    for (MSG message; GetMessageW(&message, nullptr, 0, 0) > 0;) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    taps.join();
    return 0;
}

// This program run with --send, its standard input and output on pipes.
class TapSender {
public:
    TapSender()
    {
        SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
        HANDLE childIn = nullptr;
        HANDLE childOut = nullptr;
        if (!CreatePipe(&childIn, &toChild_, &inherited, 0) || !CreatePipe(&fromChild_, &childOut, &inherited, 0))
            throw std::runtime_error("cannot make the sender's pipes");
        SetHandleInformation(toChild_, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(fromChild_, HANDLE_FLAG_INHERIT, 0);
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring commandLine = L"\"" + std::wstring(self) + L"\" " + kSendArgument;
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = childIn;
        startup.hStdOutput = childOut;
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        const bool started =
            CreateProcessW(self, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process_);
        CloseHandle(childIn);
        CloseHandle(childOut);
        unsigned char ready = 0;
        if (!started || !readAll(fromChild_, &ready, 1))
            throw std::runtime_error("the sending process did not start");
    }
    ~TapSender()
    {
        CloseHandle(toChild_);
        if (process_.hProcess) {
            if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0)
                TerminateProcess(process_.hProcess, 1);
            CloseHandle(process_.hThread);
            CloseHandle(process_.hProcess);
        }
        CloseHandle(fromChild_);
    }
    TapSender(const TapSender &) = delete;
    TapSender &operator=(const TapSender &) = delete;

    Clock::time_point tap(std::size_t slot)
    {
        const auto key = static_cast<unsigned char>(slot);
        long long sent = 0;
        if (!writeAll(toChild_, &key, 1) || !readAll(fromChild_, &sent, sizeof sent))
            throw std::runtime_error("the sending process ended");
        return Clock::time_point(Clock::duration(sent));
    }

private:
    HANDLE toChild_ = nullptr;
    HANDLE fromChild_ = nullptr;
    PROCESS_INFORMATION process_{};
};

// From CreateProcess of vantrel.exe to its tray icon, which it adds last,
// once the keys are watched.
double msToTrayIcon()
{
    TestFolder folder;
    const auto start = Clock::now();
    RunningVantrel vantrel(folder);
    const auto limit = start + std::chrono::seconds(30);
    for (;;) {
        const HWND window = vantrel.residentWindow();
        if (window && trayIconShown(window))
            return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        if (Clock::now() > limit)
            throw std::runtime_error("vantrel.exe showed no tray icon within 30 s: " + vantrel.diagnostics());
        Sleep(1);
    }
}

} // namespace

int wmain(int argc, wchar_t *argv[])
{
    if (argc == 2 && std::wstring(argv[1]) == kSendArgument)
        return sendTaps();
    const int taps = argc > 1 ? _wtoi(argv[1]) : 200;
    const int starts = argc > 2 ? _wtoi(argv[2]) : 10;
    try {
        TapSender sender;
        platform::windows_backend::RawInputKeySource source;
        const auto result = bench::runTapFlood(
            source, [&](std::size_t slot) { return sender.tap(slot); }, taps,
            [] { return std::chrono::microseconds(std::chrono::milliseconds(30)); });
        std::printf("Taps of F6 to F12 with SendInput from a second Wine process, 30 ms apart, Raw Input key source "
                    "and poller in process\n");
        std::printf("%6s %6s %5s %8s %12s %12s %12s\n", "taps", "opens", "lost", "doubled", "median ms", "p99 ms",
                    "max ms");
        std::printf("%6d %6d %5d %8d %12.3f %12.3f %12.3f\n", result.taps, result.opens, result.lost, result.doubled,
                    bench::quantile(result.latenciesMs, 0.5), bench::quantile(result.latenciesMs, 0.99),
                    bench::quantile(result.latenciesMs, 1.0));
        std::fflush(stdout);

        std::vector<double> startMs;
        for (int i = 0; i < starts; ++i)
            startMs.push_back(msToTrayIcon());
        std::printf("\nvantrel.exe start to tray icon, %d starts (ms)\n", starts);
        std::printf("%12s %12s %12s\n", "median", "min", "max");
        std::printf("%12.1f %12.1f %12.1f\n", bench::quantile(startMs, 0.5), bench::quantile(startMs, 0.0),
                    bench::quantile(startMs, 1.0));
    } catch (const std::exception &failure) {
        std::fprintf(stderr, "windows_key_bench: %s\n", failure.what());
        return 1;
    }
    return 0;
}
