// Stand-in for libFuzzer's main when the compiler has no libFuzzer: feeds the
// target a fixed number of pseudo-random inputs of varied lengths, seeded so a
// failure repeats. Usage: fuzzer [runs] [file ...] (files are run first).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    long runs = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 1000;
    for (int i = 2; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    std::mt19937 rng(12345);
    std::vector<uint8_t> buf;
    for (long r = 0; r < runs; ++r) {
        // Mostly short inputs, sometimes long ones, as a fuzzer's corpus grows.
        const size_t len = (r % 10 == 0) ? rng() % 65536 : rng() % 512;
        buf.resize(len);
        for (auto& b : buf) b = static_cast<uint8_t>(rng());
        LLVMFuzzerTestOneInput(buf.data(), buf.size());
    }
    std::printf("%ld runs done\n", runs);
    return 0;
}
