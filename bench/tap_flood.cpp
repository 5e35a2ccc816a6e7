#include "tap_flood.h"

#include "bindings/binding_set.h"
#include "bindings/hot_key_poller.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <poll.h>
#endif

#include <array>
#include <atomic>
#include <stdexcept>
#include <thread>

namespace vantrel::bench {

namespace {

using Clock = std::chrono::steady_clock;
using platform::FunctionKey;
using platform::kFunctionKeyCount;

// Records when each key's open requests come; the bound path is the key's slot.
class RecordingOpener : public platform::Opener {
public:
    std::array<std::vector<Clock::time_point>, kFunctionKeyCount> opened;
    std::string open(const std::u16string &target) override
    {
        opened.at(target.at(0) - u'0').push_back(Clock::now());
        return {};
    }
};

// Waits up to 100 ms for the source to have news; says whether it had.
bool newsWithin100Ms(const platform::KeySourceWakeup &wakeup)
{
#ifdef _WIN32
    return WaitForSingleObject(static_cast<HANDLE>(wakeup.event), 100) == WAIT_OBJECT_0;
#else
    pollfd readable{wakeup.fd, POLLIN, 0};
    return poll(&readable, 1, 100) > 0;
#endif
}

} // namespace

TapFloodResult runTapFlood(platform::KeySource &source, const TapInjector &inject, int taps,
                           const std::function<std::chrono::microseconds()> &nextSpacing)
{
    BindingSet bindings;
    for (const auto key : platform::kFunctionKeys)
        bindings.browse(key, std::u16string(1, static_cast<char16_t>(u'0' + platform::slotIndex(key))));
    RecordingOpener opener;
    HotKeyPoller poller(source, bindings, opener);
    std::string error;
    if (!poller.start(&error))
        throw std::runtime_error(error);
    // As the configuration window does: a source that takes keys from the
    // other programs takes the bound ones.
    source.useKeys(bindings.keysWithFiles());

    std::vector<std::chrono::microseconds> spacings;
    for (int i = 0; i < taps; ++i)
        spacings.push_back(nextSpacing());

    // Runs as the program does: a tick whenever the source has news, until
    // the injector is done and every tap is in or nothing more has come for
    // a while.
    const auto openCount = [&] {
        int count = 0;
        for (const auto &times : opener.opened)
            count += static_cast<int>(times.size());
        return count;
    };
    const auto runWhile = [&](const std::atomic<bool> &injecting, int expected) {
        auto lastNews = Clock::now();
        while (injecting || (openCount() < expected && Clock::now() - lastNews < std::chrono::seconds(2))) {
            if (newsWithin100Ms(source.wakeup()))
                lastNews = Clock::now();
            if (!poller.tick())
                throw std::runtime_error("the key source failed");
        }
    };

    constexpr std::size_t kF12 = kFunctionKeyCount - 1;
    const auto warmUpLimit = Clock::now() + std::chrono::seconds(30);
    while (opener.opened[kF12].empty()) {
        if (Clock::now() > warmUpLimit)
            throw std::runtime_error("the key source never saw F12");
        std::atomic<bool> warming = true;
        std::thread warmUp([&] {
            inject(kF12);
            warming = false;
        });
        runWhile(warming, 1);
        warmUp.join();
    }
    for (auto &times : opener.opened)
        times.clear();

    std::array<std::vector<Clock::time_point>, kFunctionKeyCount> sent;
    std::atomic<bool> injecting = true;
    std::thread injector([&] {
        auto due = Clock::now();
        for (int i = 0; i < taps; ++i) {
            const std::size_t slot = static_cast<std::size_t>(i) % kFunctionKeyCount;
            std::this_thread::sleep_until(due);
            sent[slot].push_back(inject(slot));
            due += spacings[static_cast<std::size_t>(i)];
        }
        injecting = false;
    });
    runWhile(injecting, taps);
    injector.join();

    TapFloodResult result;
    result.taps = taps;
    result.opens = openCount();
    for (std::size_t slot = 0; slot < kFunctionKeyCount; ++slot) {
        const auto &pressed = sent[slot];
        const auto &opened = opener.opened[slot];
        result.lost += std::max(0, static_cast<int>(pressed.size()) - static_cast<int>(opened.size()));
        result.doubled += std::max(0, static_cast<int>(opened.size()) - static_cast<int>(pressed.size()));
        for (std::size_t i = 0; i < std::min(pressed.size(), opened.size()); ++i)
            result.latenciesMs.push_back(std::chrono::duration<double, std::milli>(opened[i] - pressed[i]).count());
    }
    return result;
}

} // namespace vantrel::bench
