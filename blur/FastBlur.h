#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

namespace nebulo {

class TSDIB;

// The instruction sets the fast blur has kernels for. Every one of them gives
// the reference's bytes; they differ only in speed.
enum class TBlurIsa { Portable, Sse2, Avx2, Avx512 };

const char* IsaName(TBlurIsa Isa);
// Whether this build has the kernel and this CPU can run it.
bool IsaSupported(TBlurIsa Isa);

// The set blurs run with, from the request in NEBULO_SIMD ("portable",
// "sse2", "avx2" or "avx512", in any case) and what Runs says the machine
// runs: the set asked for when it runs, else the widest that runs. An empty
// or unknown request asks for nothing.
TBlurIsa ChooseIsa(std::string_view Request, const std::function<bool(TBlurIsa)>& Runs);
// ChooseIsa with this process's NEBULO_SIMD and this machine, found once.
TBlurIsa DefaultIsa();

struct TFastBlurOptions {
    TBlurIsa Isa = DefaultIsa();
    // 0 picks the count by itself: both cores for large pictures, one otherwise.
    int Threads = 0;
};

// Both passes of the blur, straight on the rows of the held file, with the
// kernel that BuildKernel left. Takes them only when the result is certain to
// be the reference's: a valid 24-bit surface of at least one pixel whose held
// file holds every row, a symmetric kernel and a supported instruction set.
// Otherwise returns false without touching anything.
bool FastBlurPasses(TSDIB& Surface, const TFastBlurOptions& Options);

} // namespace nebulo
