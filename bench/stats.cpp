#include "stats.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace bench {

double quantile(std::vector<double> samples, double q) {
    if (samples.empty()) {
        return 0.0;
    }
    std::sort(samples.begin(), samples.end());
    const double clamped = std::min(1.0, std::max(0.0, q));
    const double position = clamped * static_cast<double>(samples.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(position));
    const std::size_t above = std::min(below + 1, samples.size() - 1);
    const double fraction = position - static_cast<double>(below);
    return samples[below] + (samples[above] - samples[below]) * fraction;
}

std::vector<double> ratios(const std::vector<double> &a, const std::vector<double> &b) {
    std::vector<double> result;
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (b[i] > 0.0) {
            result.push_back(a[i] / b[i]);
        }
    }
    return result;
}

}  // namespace bench
