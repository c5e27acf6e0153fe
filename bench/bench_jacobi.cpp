// The Jacobi command with eps = 0 runs all 101 passes and prints 2 n^2
// fields per pass. Its work must grow with the trace: the time per trace byte
// at n = 60 should be at most 1.5 times that at n = 30.
#include <benchmark/benchmark.h>

#include "symmetric_text.h"

#include <random>
#include <string>
#include <vector>

#include "commands/registry.h"
#include "desk/scripted_dialogs.h"

using matcalc::bench::SymmetricMatrixText;

namespace {

void BM_JacobiTrace(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const std::string text1 = SymmetricMatrixText(n);
  const matcalc::Command* jacobi = matcalc::FindCommand("jacobi");
  std::size_t bytes = 0;
  for (auto _ : state) {
    // eps = 0 never ends the passes early; the question keeps the trace.
    matcalc::ScriptedDialogs dialogs({std::to_string(n), "0"}, {matcalc::Reply::kYes});
    matcalc::TraceBuffer pane = matcalc::RunCommand(*jacobi, dialogs, text1, {}, 6, {});
    bytes = pane.text().size();
    benchmark::DoNotOptimize(pane.text().data());
  }
  state.counters["trace_bytes"] = static_cast<double>(bytes);
  state.counters["ns_per_byte"] = benchmark::Counter(
      static_cast<double>(bytes) * static_cast<double>(state.iterations()) * 1e-9,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_JacobiTrace)->Arg(30)->Arg(60)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
