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

// Converts the inputs in turn, one per iteration.
template <typename Input, typename Convert>
void ConvertInTurn(benchmark::State& state, const std::vector<Input>& inputs, Convert convert) {
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(convert(inputs[next]));
        next = (next + 1) % inputs.size();
    }
}

void NumToTextSevenDigits(benchmark::State& state) {
    ConvertInTurn(state, Numbers(), [](long double number) { return NumToText(number, 7); });
}
BENCHMARK(NumToTextSevenDigits);

void SnprintfSevenDigits(benchmark::State& state) {
    char buffer[32];
    ConvertInTurn(state, Numbers(), [&buffer](long double number) {
        return std::snprintf(buffer, sizeof buffer, "%.7Lg", number);
    });
}
BENCHMARK(SnprintfSevenDigits);

void TextToNumSevenDigits(benchmark::State& state) {
    ConvertInTurn(state, Texts(), [](const Text& text) { return TextToNum(text); });
}
BENCHMARK(TextToNumSevenDigits);

void StrtoldSevenDigits(benchmark::State& state) {
    ConvertInTurn(state, Texts(),
                  [](const Text& text) { return std::strtold(text.Data(), nullptr); });
}
BENCHMARK(StrtoldSevenDigits);

}  // namespace

int main(int argc, char** argv) {
    FpuLoadX87ControlWord(kRtX87ControlWord);
    return BenchRunAndCompare(argc, argv,
                              {{"NumToTextSevenDigits", "SnprintfSevenDigits"},
                               {"TextToNumSevenDigits", "StrtoldSevenDigits"}});
}
