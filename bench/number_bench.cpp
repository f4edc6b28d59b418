// NumToText(x, 7) against snprintf("%.7Lg"), and TextToNum against strtold, on the same
// numbers and texts: floats of every magnitude, widened as callers pass them.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "compare.hpp"
#include "runtime/fpu.hpp"
#include "runtime/number.hpp"

namespace {

constexpr size_t kInputCount = 4096;

const std::vector<long double>& Numbers() {
    static const std::vector<long double> numbers = [] {
        std::vector<long double> result;
        std::mt19937 generator(7);
        while (result.size() < kInputCount) {
            const uint32_t bits = static_cast<uint32_t>(generator());
            float value;
            std::memcpy(&value, &bits, sizeof value);
            if (std::isfinite(value)) result.push_back(value);
        }
        return result;
    }();
    return numbers;
}

// The numbers as the C library prints them with seven digits, one text each.
const std::vector<Text>& Texts() {
    static const std::vector<Text> texts = [] {
        std::vector<Text> result;
        for (long double number : Numbers()) {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%.7Lg", number);
            result.emplace_back(buffer);
        }
        return result;
    }();
    return texts;
}

void NumToTextSevenDigits(benchmark::State& state) {
    const std::vector<long double>& numbers = Numbers();
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(NumToText(numbers[next], 7));
        next = (next + 1) % numbers.size();
    }
}
BENCHMARK(NumToTextSevenDigits);

void SnprintfSevenDigits(benchmark::State& state) {
    const std::vector<long double>& numbers = Numbers();
    size_t next = 0;
    char buffer[32];
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::snprintf(buffer, sizeof buffer, "%.7Lg", numbers[next]));
        benchmark::ClobberMemory();
        next = (next + 1) % numbers.size();
    }
}
BENCHMARK(SnprintfSevenDigits);

void TextToNumSevenDigits(benchmark::State& state) {
    const std::vector<Text>& texts = Texts();
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(TextToNum(texts[next]));
        next = (next + 1) % texts.size();
    }
}
BENCHMARK(TextToNumSevenDigits);

void StrtoldSevenDigits(benchmark::State& state) {
    const std::vector<Text>& texts = Texts();
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(std::strtold(texts[next].Data(), nullptr));
        next = (next + 1) % texts.size();
    }
}
BENCHMARK(StrtoldSevenDigits);

}  // namespace

int main(int argc, char** argv) {
    FpuLoadX87ControlWord(kRtX87ControlWord);
    return BenchRunAndCompare(argc, argv,
                              {{"NumToTextSevenDigits", "SnprintfSevenDigits"},
                               {"TextToNumSevenDigits", "StrtoldSevenDigits"}});
}
