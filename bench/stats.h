// Summaries of repeated measurements that stay put when a few samples are
// disturbed by other work on the machine.
#ifndef OSTRIVANE_BENCH_STATS_H
#define OSTRIVANE_BENCH_STATS_H

#include <vector>

namespace bench {

// The q-quantile (0 <= q <= 1) of the samples, interpolating linearly between
// the two nearest ranks; 0 for no samples.
double quantile(std::vector<double> samples, double q);

inline double median(const std::vector<double> &samples) {
    return quantile(samples, 0.5);
}

// Element-wise a[i] / b[i], for the rounds in which b[i] is positive.
std::vector<double> ratios(const std::vector<double> &a, const std::vector<double> &b);

}  // namespace bench

#endif
