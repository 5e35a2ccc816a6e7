#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

namespace vantrel::bench {

// The q-th quantile (0..1) by the nearest-rank rule; 0 for no samples.
inline double quantile(std::vector<double> samples, double q)
{
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const auto rank = static_cast<std::size_t>(std::ceil(q * static_cast<double>(samples.size())));
    return samples[std::clamp<std::size_t>(rank, 1, samples.size()) - 1];
}

} // namespace vantrel::bench
