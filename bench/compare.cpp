#include "compare.hpp"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

// The console report, plus a note of each benchmark's CPU time per iteration.
class RecordingReporter : public benchmark::ConsoleReporter {
  public:
    // Colours only on a terminal, so that saved output stays plain text.
    RecordingReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred) {
                times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }

    const double* TimeOf(const char* name) const {
        const auto found = times_.find(name);
        return found == times_.end() ? nullptr : &found->second;
    }

  private:
    std::map<std::string, double> times_;
};

}  // namespace

int BenchRunAndCompare(int argc, char** argv, std::initializer_list<BenchComparison> comparisons) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n");
    for (const BenchComparison& comparison : comparisons) {
        const double* ours = reporter.TimeOf(comparison.ours);
        const double* baseline = reporter.TimeOf(comparison.baseline);
        // A filter on the command line may have left one of the two out.
        if (ours == nullptr || baseline == nullptr) continue;
        std::printf("ratio %s / %s: %.3f\n", comparison.ours, comparison.baseline,
                    *ours / *baseline);
    }
    return 0;
}
