// Runs a fuzz entry point on pseudo-random inputs (a fixed seed, so a failure
// repeats), for builds without libFuzzer.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size);

int main(int argc, char** argv)
{
    const long Runs = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 1000;
    std::mt19937 Random(20261207);
    std::vector<uint8_t> Input;
    for (long Run = 0; Run < Runs; ++Run) {
        Input.resize(Random() % 4096);
        for (auto& Byte : Input)
            Byte = uint8_t(Random());
        LLVMFuzzerTestOneInput(Input.data(), Input.size());
    }
    std::printf("%ld random inputs passed\n", Runs);
    return 0;
}
