// The checks over a project of 30,000 switched-on translations: the check
// command's work and the build gate's, without opening the file.
#include <benchmark/benchmark.h>

#include <string>

#include "BenchTable.h"
#include "project/check/CheckRun.h"

using namespace velmora;

namespace {

// Every phrase translated and switched on: a third adds a printf directive
// (an error each), a third holds an accented letter (decoded through the
// code page), a third is plain ASCII.
PhraseTable& Project() {
  static PhraseTable table = [] {
    PhraseTable t = bench::ExtractedBenchTable(8u << 20, 30000, 42, 0);
    size_t n = 0;
    for (size_t i = 0; i < t.Phrases.size() && t.EditedTexts.size() < 30000; ++i) {
      TPhrase& p = t.Phrases[i];
      if (p.Flags & pfLink) continue;
      const std::string number = std::to_string(n);
      switch (n++ % 3) {
        case 0: t.AppendEditedText(i, "Entfernung %d km " + number); break;
        case 1: t.AppendEditedText(i, "Men\xFC " + number); break;
        default: t.AppendEditedText(i, "Ziel " + number); break;
      }
      p.Flags = pfOn;
    }
    return t;
  }();
  return table;
}

void BM_CheckProject(benchmark::State& state) {
  PhraseTable& t = Project();
  CheckOptions options;
  options.Page = CodePage::WestEurope;
  size_t problems = 0;
  for (auto _ : state) {
    const CheckResult r = CheckProject(t, options);
    problems = r.Problems.size();
    benchmark::DoNotOptimize(problems);
  }
  state.counters["translations"] = static_cast<double>(t.EditedTexts.size());
  state.counters["problems"] = static_cast<double>(problems);
}
BENCHMARK(BM_CheckProject)->Unit(benchmark::kMillisecond);

}  // namespace
