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

// One row of a benchmark's table: figure, ours, the bare reference, the ratio and the target.
inline void printRow(const std::string& figure, double ours, double bare, const std::string& unit,
                     double targetRatio) {
    const double ratio = bare > 0 ? ours / bare : 0.0;
    std::printf("%-44s ours %10.3f %-3s  bare %10.3f %-3s  ratio %5.2f  target <= %.2f  %s\n", figure.c_str(),
                ours, unit.c_str(), bare, unit.c_str(), ratio, targetRatio, ratio <= targetRatio ? "ok" : "MISSED");
}

} // namespace tovrel::bench
