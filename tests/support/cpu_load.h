#pragma once

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace vantrel::test {

// Every core busy while it lives, as on a machine that compiles something.
class CpuLoad {
public:
    CpuLoad()
    {
        for (unsigned i = 0; i < std::max(2u, std::thread::hardware_concurrency()); ++i)
            spinners_.emplace_back([this] {
                while (!stop_)
                    ;
            });
    }
    ~CpuLoad()
    {
        stop_ = true;
        for (auto &spinner : spinners_)
            spinner.join();
    }

    CpuLoad(const CpuLoad &) = delete;
    CpuLoad &operator=(const CpuLoad &) = delete;

private:
    std::atomic<bool> stop_{false};
    std::vector<std::thread> spinners_;
};

} // namespace vantrel::test
