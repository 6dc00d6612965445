#pragma once

// Ratios taken pairwise: every iteration times the two sides back to back,
// so that the machine's drift touches both alike. The "ratio" counter is the
// median over the iterations of the first side's time over the second's;
// "first_ms" and "second_ms" are each side's median.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace nebulo {

inline double Seconds(const std::function<void()>& Work)
{
    const auto Start = std::chrono::steady_clock::now();
    Work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

inline double Median(std::vector<double> Values)
{
    if (Values.empty())
        return 0;
    std::sort(Values.begin(), Values.end());
    const size_t Middle = Values.size() / 2;
    return Values.size() % 2 == 1 ? Values[Middle] : (Values[Middle - 1] + Values[Middle]) / 2;
}

inline void Paired(benchmark::State& State, const std::function<void()>& Numerator,
                   const std::function<void()>& Denominator)
{
    std::vector<double> Ratios;
    std::vector<double> Tops;
    std::vector<double> Bottoms;
    for (auto _ : State) {
        const double Top = Seconds(Numerator);
        const double Bottom = Seconds(Denominator);
        Ratios.push_back(Top / Bottom);
        Tops.push_back(Top);
        Bottoms.push_back(Bottom);
        State.SetIterationTime(Top + Bottom);
    }
    State.counters["ratio"] = Median(Ratios);
    State.counters["first_ms"] = 1000 * Median(Tops);
    State.counters["second_ms"] = 1000 * Median(Bottoms);
}

} // namespace nebulo
