// Speed of the BIN builder on a large unit: 64 MB with 30,000 phrases, every
// phrase translated and switched on, half of them in place and half
// relocated.
#include <benchmark/benchmark.h>

#include <string>

#include "container/Stream.h"
#include "project/BinBuilder.h"
#include "sampledata/SampleData.h"

namespace {

using namespace velmora;

const PhraseTable& BenchProject() {
  static const PhraseTable table = [] {
    const sample::SampleUnit unit = sample::MakeBenchUnit(64u << 20, 30000, 7);
    PhraseTable t;
    t.UnitImage = unit.bytes;
    t.Info.BaseAddress = unit.baseAddress;
    t.Info.UnitSize = t.Info.SourceSize = static_cast<uint32_t>(unit.bytes.size());
    t.Info.UnitChecksum = unit.checksum;
    t.Phrases = sample::ExpectedRecords(unit, true);
    size_t n = 0;
    for (size_t i = 0; i < t.Phrases.size(); ++i) {
      TPhrase& p = t.Phrases[i];
      if (p.Flags & pfLink) continue;
      // Alternately a text that fits and one that must move.
      const size_t length = (n++ % 2 == 0) ? p.Length / 2 : p.Length + 9u;
      t.AppendEditedText(i, std::string(length, static_cast<char>('A' + n % 26)));
      p.Flags = pfOn;
    }
    return t;
  }();
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

}  // namespace
