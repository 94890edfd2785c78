// Timing helpers shared by the benchmark programs: the performance counter
// in milliseconds and the median of a series of samples.
#ifndef BENCH_STATS_H
#define BENCH_STATS_H

#include <windows.h>

#include <algorithm>
#include <vector>

namespace bench {

inline double NowMs()
{
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / ticksPerMs;
}

// The middle sample, or the mean of the two middle ones; 0 for none.
inline double Median(std::vector<double> samples)
{
    if (samples.empty())
        return 0.0;
    std::sort(samples.begin(), samples.end());
    const size_t half = samples.size() / 2;
    return samples.size() % 2 ? samples[half] : (samples[half - 1] + samples[half]) / 2.0;
}

} // namespace bench

#endif // BENCH_STATS_H
