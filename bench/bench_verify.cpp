// Verifying a built .BIN of a 64 MB unit with 30,000 phrases, every phrase
// translated and switched on, half in place and half relocated, against the
// time it takes just to read the project file and the .BIN.
#include <benchmark/benchmark.h>

#include <string>

#include "BenchFiles.h"
#include "BenchProjects.h"
#include "container/io/Stream.h"
#include "project/build/BinBuilder.h"
#include "project/file/ProjectFile.h"
#include "project/verify/Verify.h"

using namespace velmora;

namespace {

struct BenchFiles {
  PhraseTable table;
  bench::TempDir dir;
  std::string project, bin;
  BenchFiles() : table(bench::HalfRelocatedBenchProject()), project(dir.File("bench.vmprj")), bin(dir.File("bench.BIN")) {
    SaveProject(table, project);
    SaveBin(table, bin);
  }
};

BenchFiles& Files() {
  static BenchFiles f;
  return f;
}

void Sizes(benchmark::State& state, const BenchFiles& f) {
  state.counters["project_MB"] = bench::FileMegabytes(f.project);
  state.counters["bin_MB"] = bench::FileMegabytes(f.bin);
}

// The yardstick: both files read whole.
void BM_ReadProjectAndBin(benchmark::State& state) {
  auto& f = Files();
  for (auto _ : state) {
    auto a = ReadWholeFile(f.project);
    auto b = ReadWholeFile(f.bin);
    benchmark::DoNotOptimize(a.data());
    benchmark::DoNotOptimize(b.data());
  }
  Sizes(state, f);
}
BENCHMARK(BM_ReadProjectAndBin)->Unit(benchmark::kMillisecond)->UseRealTime();

// What 'velmora-cli verify' does: open the project, then verify the .BIN.
void BM_OpenProjectAndVerifyBin(benchmark::State& state) {
  auto& f = Files();
  bool clean = true;
  for (auto _ : state) {
    PhraseTable table;
    OpenProject(table, f.project);
    clean = clean && VerifyBin(table, f.bin).Clean();
  }
  if (!clean) state.SkipWithError("the bench .BIN did not verify clean");
  Sizes(state, f);
}
BENCHMARK(BM_OpenProjectAndVerifyBin)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the window does after Save .BIN: the project is already in memory.
void BM_VerifyBin(benchmark::State& state) {
  auto& f = Files();
  bool clean = true;
  for (auto _ : state) clean = clean && VerifyBin(f.table, f.bin).Clean();
  if (!clean) state.SkipWithError("the bench .BIN did not verify clean");
  state.counters["relocated"] = static_cast<double>(SummarizeBuild(f.table).Relocated);
}
BENCHMARK(BM_VerifyBin)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
