// Speed of the BIN builder on a large unit: 64 MB with 30,000 phrases, every
// phrase translated and switched on, half of them in place and half
// relocated; in memory, and into a file as the Save BIN command writes it.
#include <benchmark/benchmark.h>

#include <string>

#include "BenchFiles.h"
#include "BenchProjects.h"
#include "container/io/Stream.h"
#include "project/build/BinBuilder.h"

namespace {

using namespace velmora;

const PhraseTable& BenchProject() {
  static const PhraseTable table = bench::HalfRelocatedBenchProject();
  return table;
}

void BM_BuildUnit(benchmark::State& state) {
  const PhraseTable& table = BenchProject();
  int64_t written = 0;
  for (auto _ : state) {
    TMemoryStream out;
    written = BuildUnit(table, out);
    benchmark::DoNotOptimize(out.Data().data());
  }
  state.SetBytesProcessed(state.iterations() * written);
  state.counters["phrases"] = static_cast<double>(table.Phrases.size());
  state.counters["unit_MB"] = static_cast<double>(written) / (1 << 20);
}
BENCHMARK(BM_BuildUnit)->Unit(benchmark::kMillisecond);

void BM_AssembleUnit(benchmark::State& state) {
  const PhraseTable& table = BenchProject();
  size_t written = 0;
  for (auto _ : state) {
    const auto unit = AssembleUnit(table);
    written = unit.size();
    benchmark::DoNotOptimize(unit.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * written));
}
BENCHMARK(BM_AssembleUnit)->Unit(benchmark::kMillisecond);

// The Save BIN command: the unit written into a new file, synced and put
// in place.
void BM_SaveBin(benchmark::State& state) {
  const PhraseTable& table = BenchProject();
  const bench::TempDir dir;
  const std::string path = dir.File("bench.BIN");
  int64_t written = 0;
  for (auto _ : state) written = SaveBin(table, path);
  state.SetBytesProcessed(state.iterations() * written);
  state.counters["unit_MB"] = bench::FileMegabytes(path);
}
BENCHMARK(BM_SaveBin)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
