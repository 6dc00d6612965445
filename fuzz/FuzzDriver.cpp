// Runs a fuzz entry point without libFuzzer, in two ways that give the same
// answer on every run:
//   TARGET PATH...      replays every file in the corpus folders (or files)
//                       given, in name order;
//   TARGET --random N   feeds it N pseudo-random inputs from a fixed seed.
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size);
// Defined by the targets that need to set up before their first input.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));
// Present only when a sanitizer's runtime is linked in.
extern "C" void __sanitizer_set_death_callback(void (*Callback)()) __attribute__((weak));

namespace {

namespace fs = std::filesystem;

// Named when a sanitizer ends the process, so a failure says which input.
std::string CurrentInput;

void NameCurrentInput()
{
    const std::string Line = "fuzz driver: the failing input is " + CurrentInput + "\n";
    (void)!write(STDERR_FILENO, Line.data(), Line.size());
}

// A target's own check ends in abort(), which no sanitizer reports.
void NameInputOnAbort(int)
{
    static const char Prefix[] = "fuzz driver: aborted on ";
    (void)!write(STDERR_FILENO, Prefix, sizeof Prefix - 1);
    (void)!write(STDERR_FILENO, CurrentInput.data(), CurrentInput.size());
    (void)!write(STDERR_FILENO, "\n", 1);
    std::signal(SIGABRT, SIG_DFL);
    std::raise(SIGABRT);
}

std::vector<fs::path> InputsUnder(const std::vector<fs::path>& Paths)
{
    std::vector<fs::path> Inputs;
    for (const fs::path& Path : Paths) {
        if (fs::is_directory(Path)) {
            for (const fs::directory_entry& Entry : fs::directory_iterator(Path))
                if (Entry.is_regular_file())
                    Inputs.push_back(Entry.path());
        } else if (fs::is_regular_file(Path)) {
            Inputs.push_back(Path);
        } else {
            std::fprintf(stderr, "fuzz driver: %s is neither a file nor a folder\n", Path.c_str());
            std::exit(2);
        }
    }
    std::sort(Inputs.begin(), Inputs.end());
    return Inputs;
}

int Replay(const std::vector<fs::path>& Paths)
{
    const std::vector<fs::path> Inputs = InputsUnder(Paths);
    if (Inputs.empty()) {
        std::fprintf(stderr, "fuzz driver: no inputs to replay\n");
        return 2;
    }
    if (__sanitizer_set_death_callback != nullptr)
        __sanitizer_set_death_callback(NameCurrentInput);
    std::signal(SIGABRT, NameInputOnAbort);
    for (const fs::path& Input : Inputs) {
        CurrentInput = Input.string();
        std::ifstream File(Input, std::ios::binary);
        const std::vector<uint8_t> Bytes{std::istreambuf_iterator<char>(File), {}};
        if (!File.eof() && File.fail()) {
            std::fprintf(stderr, "fuzz driver: cannot read %s\n", CurrentInput.c_str());
            return 2;
        }
        LLVMFuzzerTestOneInput(Bytes.data(), Bytes.size());
    }
    std::printf("%zu corpus inputs passed\n", Inputs.size());
    return 0;
}

int RandomInputs(long Runs)
{
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

} // namespace

int main(int argc, char** argv)
{
    if (LLVMFuzzerInitialize != nullptr)
        LLVMFuzzerInitialize(&argc, &argv);
    if (argc == 3 && std::string(argv[1]) == "--random")
        return RandomInputs(std::strtol(argv[2], nullptr, 10));
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS... | --random N\n", argv[0]);
        return 2;
    }
    return Replay(std::vector<fs::path>(argv + 1, argv + argc));
}
