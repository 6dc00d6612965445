#pragma once

#include <algorithm>
#include <cstdint>
#include <system_error>
#include <thread>
#include <vector>

namespace nebulo {

// Large pictures are worked on by both cores: their rows are split into
// shares, one per thread.

// How many shares a picture of Pixels pixels is worth: below SharedPixels a
// second thread costs more than it saves.
constexpr int64_t SharedPixels = 1 << 16;
constexpr int MaxShares = 2;

inline int SharesFor(int64_t Pixels)
{
    if (Pixels < SharedPixels)
        return 1;
    return int(std::clamp(std::thread::hardware_concurrency(), 1u, unsigned(MaxShares)));
}

// Calls Work(Share, First, Last) for rows First..Last - 1 of each of Shares
// shares of Count rows; the caller's thread takes the first and every share
// whose thread cannot start. Returns when all are done. Work must not throw
// on a thread of its own.
template <class F>
void ShareRows(int32_t Count, int Shares, F Work)
{
    auto Run = [&](int Share) {
        Work(Share, int32_t(int64_t(Count) * Share / Shares), int32_t(int64_t(Count) * (Share + 1) / Shares));
    };
    std::vector<std::jthread> Helpers;
    Helpers.reserve(size_t(std::max(Shares - 1, 0)));
    int Started = 1;
    for (; Started < Shares; ++Started) {
        try {
            Helpers.emplace_back(Run, Started);
        } catch (const std::system_error&) {
            break;
        }
    }
    Run(0);
    for (int Share = Started; Share < Shares; ++Share)
        Run(Share);
}

} // namespace nebulo
