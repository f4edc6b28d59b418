#pragma once
// Running a benchmark program whose benchmarks pit our code against a baseline measured in
// the same run, and printing how the two compare.

#include <initializer_list>

/// One comparison: the registered names of our benchmark and of its baseline.
struct BenchComparison {
    const char* ours;
    const char* baseline;
};

/// Runs the registered benchmarks (taking Google Benchmark's command-line flags), then prints
/// for each comparison our CPU time per iteration divided by the baseline's: below 1.0 means
/// ours is faster. Returns the program's exit code.
int BenchRunAndCompare(int argc, char** argv, std::initializer_list<BenchComparison> comparisons);
