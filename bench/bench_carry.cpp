// Matching the phrases of two versions of the 64 MB bench unit (about
// 30,000 phrases each) and carrying the translations over.
#include <benchmark/benchmark.h>

#include <string>

#include "project/carry/Carry.h"
#include "sampledata/SampleData.h"
#include "sampledata/VersionPair.h"

using namespace velmora;

namespace {

struct Projects {
  PhraseTable oldProject, newProject;
  Projects(bool repeatedTexts) {
    sample::UnitRecipe recipe = sample::BenchUnitRecipe(64u << 20, 30000, 42);
    if (repeatedTexts) {
      // A quarter of the texts are short menu words that repeat.
      const auto menu = sample::RepeatingMenuTexts(recipe.strings.size(), 0.25, 42);
      for (size_t i = 0; i < recipe.strings.size(); ++i)
        if (menu[i].bytes.size() < 10) recipe.strings[i].bytes = menu[i].bytes;
    }
    sample::VersionEdits edits;  // 5 % each of removed, inserted, reworded, moved; 3 % copies
    const auto pair = sample::MakeVersionPair(recipe, edits, 7);
    oldProject = sample::AnalyseSampleUnit(pair.oldUnit);
    newProject = sample::AnalyseSampleUnit(pair.newUnit);
    for (size_t i = 0; i < oldProject.Phrases.size(); ++i)
      if (!(oldProject.Phrases[i].Flags & pfLink) && oldProject.EditedTexts.size() < 30000) {
        oldProject.AppendEditedText(i, std::string("T").append(std::to_string(i)));
        oldProject.Phrases[i].Flags = static_cast<uint16_t>((oldProject.Phrases[i].Flags & ~pfHide) | pfOn);
      }
  }
};

// The whole carry as the command runs it: matching and planning, then the
// change of the new project (whose copy is made outside the timing).
void Run(benchmark::State& state, const Projects& p, int fuzzy) {
  CarryOptions options;
  options.FuzzyPercent = fuzzy;
  size_t carried = 0;
  for (auto _ : state) {
    state.PauseTiming();
    PhraseTable target = p.newProject;
    state.ResumeTiming();
    const CarryPlan plan = PlanCarry(p.oldProject, target, options);
    ApplyCarry(p.oldProject, target, plan);
    carried = plan.Counts.Carried;
    benchmark::DoNotOptimize(target.EditedTexts.data());
  }
  state.counters["phrases"] = static_cast<double>(p.newProject.Phrases.size());
  state.counters["carried"] = static_cast<double>(carried);
}

void BM_CarryBenchUnit(benchmark::State& state) {
  static const Projects p(false);
  Run(state, p, 0);
}
BENCHMARK(BM_CarryBenchUnit)->Unit(benchmark::kMillisecond);

void BM_CarryRepeatedTexts(benchmark::State& state) {
  static const Projects p(true);
  Run(state, p, 0);
}
BENCHMARK(BM_CarryRepeatedTexts)->Unit(benchmark::kMillisecond);

void BM_CarryRepeatedTextsFuzzy(benchmark::State& state) {
  static const Projects p(true);
  Run(state, p, 20);
}
BENCHMARK(BM_CarryRepeatedTextsFuzzy)->Unit(benchmark::kMillisecond);

}  // namespace
