#pragma once

// Ratios taken pairwise: every iteration times the two sides back to back,
// so that the machine's drift touches both alike. The "ratio" counter is the
// median over the iterations of the first side's time over the second's.

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

inline void Paired(benchmark::State& State, const std::function<void()>& Numerator,
                   const std::function<void()>& Denominator)
{
    std::vector<double> Ratios;
    for (auto _ : State) {
        const double Top = Seconds(Numerator);
        const double Bottom = Seconds(Denominator);
        Ratios.push_back(Top / Bottom);
        State.SetIterationTime(Top + Bottom);
    }
    std::sort(Ratios.begin(), Ratios.end());
    const size_t Middle = Ratios.size() / 2;
    State.counters["ratio"] = Ratios.size() % 2 == 1 ? Ratios[Middle] : (Ratios[Middle - 1] + Ratios[Middle]) / 2;
}

} // namespace nebulo
