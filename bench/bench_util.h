#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace tovrel::bench {

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

template <class F> double millisecondsOf(F&& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// One row of the benchmarks' common table: figure, ours, the bare reference, the ratio, the target.
inline void printRow(const std::string& figure, double ours, double bare, const std::string& unit,
                     const std::string& target, bool met) {
    const double ratio = bare > 0 ? ours / bare : 0.0;
    std::printf("%-46s %11.3f %-3s %11.3f %-3s %6.2f  %-22s %s\n", figure.c_str(), ours, unit.c_str(), bare,
                unit.c_str(), ratio, target.c_str(), met ? "ok" : "MISSED");
    std::fflush(stdout);
}

// The common case: ours within a ratio of the reference.
inline void printRatioRow(const std::string& figure, double ours, double bare, const std::string& unit,
                          double targetRatio) {
    char target[32];
    std::snprintf(target, sizeof target, "ratio <= %.2f", targetRatio);
    printRow(figure, ours, bare, unit, target, bare > 0 && ours / bare <= targetRatio);
}

} // namespace tovrel::bench
