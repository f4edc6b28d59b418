// The number sweep: many random cases of everything the conversions compute (products,
// quotients, rounding, comparisons, float, double and integer conversions, NumToText,
// TextToNum, NumRound, scaling by powers of ten), from a seed that is printed so that a
// failure can be repeated. Where there is an x87 every case runs in both arithmetics, which
// must agree bit for bit; with --digests the results of each block of cases are printed as
// a digest, to compare with another processor's.
//
// Usage: number_sweep [--seed=N] [--blocks=N] [--digests] [--dump=BLOCK]
//   --dump prints every case of one block with its results instead.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>

#include "platform/fpu.hpp"
#include "runtime/number_sweep_cases.hpp"
#include "runtime/startup.hpp"
#include "runtime/x87_extended.hpp"

namespace {

constexpr uint64_t kCasesPerBlock = 4096;

struct Options {
    uint64_t seed;
    uint64_t blocks = 256;
    bool digests = false;
    int64_t dumpBlock = -1;
};

bool TakeNumber(std::string_view argument, std::string_view name, uint64_t& value) {
    if (argument.substr(0, name.size()) != name) return false;
    value = std::strtoull(std::string(argument.substr(name.size())).c_str(), nullptr, 0);
    return true;
}

bool ParseOptions(int argc, char** argv, Options& options) {
    std::random_device device;
    options.seed = (uint64_t{device()} << 32) | device();
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        uint64_t block;
        if (TakeNumber(argument, "--seed=", options.seed) ||
            TakeNumber(argument, "--blocks=", options.blocks)) {
            continue;
        }
        if (TakeNumber(argument, "--dump=", block)) {
            options.dumpBlock = static_cast<int64_t>(block);
        } else if (argument == "--digests") {
            options.digests = true;
        } else {
            std::fprintf(
                stderr, "usage: number_sweep [--seed=N] [--blocks=N] [--digests] [--dump=BLOCK]\n");
            return false;
        }
    }
    return true;
}

// FNV-1a over each case's results, their length first so that boundaries count.
void AddToDigest(uint64_t& digest, const std::string& results) {
    const std::string counted = std::to_string(results.size()) + ':' + results;
    for (const char byte : counted) {
        digest ^= static_cast<uint8_t>(byte);
        digest *= 0x100000001B3;
    }
}

// Runs one case; false, after saying why, when the two arithmetics disagree.
bool RunCase(const Options& options, uint64_t index, uint64_t& digest) {
    const SweepCase sweepCase = SweepMakeCase(options.seed, index);
    const std::string results = SweepRun<Extended>(sweepCase);
    AddToDigest(digest, results);
    if (options.dumpBlock >= 0) {
        std::printf("case %llu %s -> %s\n", static_cast<unsigned long long>(index),
                    SweepDescribe(sweepCase).c_str(), SweepHex(results).c_str());
    }
#if VIRODARO_X87_LONG_DOUBLE
    const std::string x87 = SweepRun<X87Extended>(sweepCase);
    if (x87 != results) {
        std::printf("FAIL: seed %llu case %llu, %s\n  integers: %s\n  x87:      %s\n",
                    static_cast<unsigned long long>(options.seed),
                    static_cast<unsigned long long>(index), SweepDescribe(sweepCase).c_str(),
                    SweepHex(results).c_str(), SweepHex(x87).c_str());
        return false;
    }
#endif
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) return 2;
    platform::FpuLoadX87ControlWord(kRtX87ControlWord);

    const uint64_t firstBlock =
        options.dumpBlock >= 0 ? static_cast<uint64_t>(options.dumpBlock) : 0;
    const uint64_t endBlock = options.dumpBlock >= 0 ? firstBlock + 1 : options.blocks;
    std::printf("number_sweep --seed=%llu --blocks=%llu: %llu cases\n",
                static_cast<unsigned long long>(options.seed),
                static_cast<unsigned long long>(options.blocks),
                static_cast<unsigned long long>((endBlock - firstBlock) * kCasesPerBlock));
    std::fflush(stdout);
    const auto start = std::chrono::steady_clock::now();
    for (uint64_t block = firstBlock; block < endBlock; ++block) {
        uint64_t digest = 0xCBF29CE484222325;
        for (uint64_t index = block * kCasesPerBlock; index < (block + 1) * kCasesPerBlock;
             ++index) {
            if (!RunCase(options, index, digest)) return 1;
        }
        if (options.digests) {
            std::printf("block %llu %016llx\n", static_cast<unsigned long long>(block),
                        static_cast<unsigned long long>(digest));
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("ok: %llu cases in %.1f s%s\n",
                static_cast<unsigned long long>((endBlock - firstBlock) * kCasesPerBlock), seconds,
                VIRODARO_X87_LONG_DOUBLE
                    ? ", the integer arithmetic and the x87 agreeing bit for bit"
                    : "");
    return 0;
}
