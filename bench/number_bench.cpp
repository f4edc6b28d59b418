// NumToText(x, 7) against snprintf("%.7Lg"), and TextToNum against strtold, on the same
// numbers and texts: floats of every magnitude, widened as callers pass them. Each of ours
// runs in the arithmetic the program uses (the x87 where long double is its format) and in
// the integer arithmetic that other processors use.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "compare.hpp"
#include "platform/fpu.hpp"
#include "runtime/number.hpp"
#include "runtime/startup.hpp"

namespace {

constexpr size_t kInputCount = 4096;

const std::vector<float>& Numbers() {
    static const std::vector<float> numbers = [] {
        std::vector<float> result;
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
        for (float number : Numbers()) {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%.7Lg", static_cast<long double>(number));
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

template <typename Real>
void NumToTextSevenDigits(benchmark::State& state) {
    ConvertInTurn(state, Numbers(), [](float number) { return NumToText<Real>(number, 7); });
}
BENCHMARK(NumToTextSevenDigits<NumArithmetic>)->Name("NumToTextSevenDigits");
BENCHMARK(NumToTextSevenDigits<Extended>)->Name("NumToTextSevenDigitsIntegers");

void SnprintfSevenDigits(benchmark::State& state) {
    char buffer[32];
    ConvertInTurn(state, Numbers(), [&buffer](float number) {
        return std::snprintf(buffer, sizeof buffer, "%.7Lg", static_cast<long double>(number));
    });
}
BENCHMARK(SnprintfSevenDigits);

template <typename Real>
void TextToNumSevenDigits(benchmark::State& state) {
    ConvertInTurn(state, Texts(), [](const Text& text) { return TextToNum<Real>(text); });
}
BENCHMARK(TextToNumSevenDigits<NumArithmetic>)->Name("TextToNumSevenDigits");
BENCHMARK(TextToNumSevenDigits<Extended>)->Name("TextToNumSevenDigitsIntegers");

void StrtoldSevenDigits(benchmark::State& state) {
    ConvertInTurn(state, Texts(),
                  [](const Text& text) { return std::strtold(text.Data(), nullptr); });
}
BENCHMARK(StrtoldSevenDigits);

}  // namespace

int main(int argc, char** argv) {
    platform::FpuLoadX87ControlWord(kRtX87ControlWord);
    return BenchRunAndCompare(argc, argv,
                              {{"NumToTextSevenDigits", "SnprintfSevenDigits"},
                               {"TextToNumSevenDigits", "StrtoldSevenDigits"},
                               {"NumToTextSevenDigitsIntegers", "SnprintfSevenDigits"},
                               {"TextToNumSevenDigitsIntegers", "StrtoldSevenDigits"}});
}
