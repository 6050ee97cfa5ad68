// Phrase extraction over a 64 MB unit with 30 000 phrases.
#include <benchmark/benchmark.h>

#include <map>
#include <random>

#include "analysis/Extraction.h"
#include "sampledata/SampleData.h"

using namespace velmora;

namespace {

constexpr size_t kUnitBytes = 64u << 20;
constexpr size_t kPhrases = 30000;

const sample::SampleUnit& BenchUnit(size_t phrases) {
  static std::map<size_t, sample::SampleUnit> units;
  auto it = units.find(phrases);
  if (it == units.end()) it = units.emplace(phrases, sample::MakeBenchUnit(kUnitBytes, phrases, 42)).first;
  return it->second;
}

AnalysisOptions WholeUnit(TextMode mode = TextMode::English) {
  AnalysisOptions o;
  o.Mode = mode;
  o.RangeEnd = 0xFFFFFFFF;
  return o;
}

void RunExtraction(benchmark::State& state, const std::vector<uint8_t>& bytes, uint32_t base, TextMode mode) {
  PhraseTable table;
  table.UnitImage = bytes;
  table.Info.UnitSize = table.Info.SourceSize = static_cast<uint32_t>(bytes.size());
  table.Info.BaseAddress = base;
  size_t records = 0;
  for (auto _ : state) {
    table.Phrases.clear();
    ExtractPhrases(table, WholeUnit(mode));
    records = table.Phrases.size();
    benchmark::DoNotOptimize(table.Phrases.data());
  }
  // A scan that reached the record limit stopped after the last record's
  // pointer; count only the bytes it went through.
  const size_t scanned = records > kMaxPhraseRecords ? table.Phrases.back().LinkAddress + 4u : bytes.size();
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(scanned));
  state.counters["records"] = static_cast<double>(records);
  state.counters["scanned_MB"] = static_cast<double>(scanned) / (1 << 20);
}

// The sample unit: code-like filler whose words never point into the unit.
// With 30 000 phrases (and about 3 000 links) the scan reaches the record
// limit inside the pointer table; with 27 000 it runs through the whole unit.
void BM_ExtractBenchUnit(benchmark::State& state) {
  const auto& unit = BenchUnit(static_cast<size_t>(state.range(0)));
  RunExtraction(state, unit.bytes, unit.baseAddress, TextMode::English);
}
BENCHMARK(BM_ExtractBenchUnit)->Arg(kPhrases)->Arg(27000)->Unit(benchmark::kMillisecond);

// Random bytes with BaseAddress 0: about one word in 64 reads as a pointer
// into the unit and has its target checked as a string.
void BM_ExtractRandomBody(benchmark::State& state) {
  static const std::vector<uint8_t> bytes = [] {
    std::vector<uint8_t> b(kUnitBytes);
    std::mt19937 rng(7);
    for (size_t i = 0; i < b.size(); i += 4) {
      const auto w = static_cast<uint32_t>(rng());
      b[i] = static_cast<uint8_t>(w);
      b[i + 1] = static_cast<uint8_t>(w >> 8);
      b[i + 2] = static_cast<uint8_t>(w >> 16);
      b[i + 3] = static_cast<uint8_t>(w >> 24);
    }
    return b;
  }();
  RunExtraction(state, bytes, 0, static_cast<TextMode>(state.range(0)));
}
BENCHMARK(BM_ExtractRandomBody)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace
