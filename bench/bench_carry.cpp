// Carrying the translations between two versions of a unit of about 30,000
// phrases, in every shape a carry meets: distinct texts, a quarter of short
// repeated ones, dense repeats of two or three texts, strings shuffled by
// the new version, sections of the pointer table moved, and copies that
// share their translations. Every phrase of the old version is translated,
// with a text of its own (or its text's, for shared translations).
#include <benchmark/benchmark.h>

#include <string>

#include "project/carry/Carry.h"
#include "sampledata/SampleData.h"
#include "sampledata/VersionPair.h"

using namespace velmora;

namespace {

// Strings a table gets: with about one string in ten or twelve having a
// second pointer, the projects come close to the 30,001 records a unit
// yields.
constexpr size_t kStrings = 27000;

struct Projects {
  PhraseTable oldProject, newProject;
  Projects(const sample::UnitRecipe& recipe, const sample::VersionEdits& edits, bool shared) {
    const auto pair = sample::MakeVersionPair(recipe, edits, 7);
    oldProject = sample::AnalyseSampleUnit(pair.oldUnit);
    newProject = sample::AnalyseSampleUnit(pair.newUnit);
    for (size_t i = 0; i < oldProject.Phrases.size(); ++i)
      if (!(oldProject.Phrases[i].Flags & pfLink) && oldProject.EditedTexts.size() < 30000) {
        const std::string text =
            shared ? "S " + std::string(oldProject.OriginText(oldProject.Phrases[i])) : "T" + std::to_string(i);
        oldProject.AppendEditedText(i, text);
        oldProject.Phrases[i].Flags = static_cast<uint16_t>((oldProject.Phrases[i].Flags & ~pfHide) | pfOn);
      }
  }
};

// The 64 MB bench unit's texts, all distinct, or with a quarter of them
// made short menu words that repeat.
sample::UnitRecipe BenchRecipe(bool repeatedTexts) {
  sample::UnitRecipe recipe = sample::BenchUnitRecipe(64u << 20, 30000, 42);
  if (repeatedTexts) {
    const auto menu = sample::RepeatingMenuTexts(recipe.strings.size(), 0.25, 42);
    for (size_t i = 0; i < recipe.strings.size(); ++i)
      if (menu[i].bytes.size() < 10) recipe.strings[i].bytes = menu[i].bytes;
  }
  return recipe;
}

sample::UnitRecipe MenuRecipe(double repeats) {
  sample::UnitRecipe recipe;
  recipe.strings = sample::RepeatingMenuTexts(kStrings, repeats, 42);
  return recipe;
}

// Two or three texts repeated all through the table, a few unique ones.
sample::UnitRecipe DenseRecipe(size_t words, double uniqueShare) {
  sample::UnitRecipe recipe;
  recipe.strings = sample::SmallVocabularyTexts(kStrings, words, uniqueShare, 42);
  return recipe;
}

sample::VersionEdits Edits(size_t movedSections = 0,
                           sample::VersionEdits::Layout layout = sample::VersionEdits::Layout::Kept) {
  sample::VersionEdits edits;  // 5 % each of removed, inserted, reworded, moved; 3 % copies
  edits.movedSections = movedSections;
  edits.newStrings = layout;
  return edits;
}

// The whole carry as the command runs it: pairing and planning, then the
// change of the new project (whose copy is made outside the timing).
void Run(benchmark::State& state, const Projects& p, int fuzzy) {
  CarryOptions options;
  options.FuzzyPercent = fuzzy;
  CarryCounts counts;
  for (auto _ : state) {
    state.PauseTiming();
    PhraseTable target = p.newProject;
    state.ResumeTiming();
    const CarryPlan plan = PlanCarry(p.oldProject, target, options);
    ApplyCarry(p.oldProject, target, plan);
    counts = plan.Counts;
    benchmark::DoNotOptimize(target.EditedTexts.data());
  }
  state.counters["phrases"] = static_cast<double>(p.newProject.Phrases.size());
  state.counters["carried"] = static_cast<double>(counts.Carried);
  state.counters["review"] = static_cast<double>(counts.Review);
  state.counters["left"] = static_cast<double>(counts.Ambiguous + counts.Limit);
}

void BM_CarryBenchUnit(benchmark::State& state) {
  static const Projects p(BenchRecipe(false), Edits(), false);
  Run(state, p, 0);
}
BENCHMARK(BM_CarryBenchUnit)->Unit(benchmark::kMillisecond);

void BM_CarryRepeatedTexts(benchmark::State& state) {
  static const Projects p(BenchRecipe(true), Edits(), false);
  Run(state, p, 0);
}
BENCHMARK(BM_CarryRepeatedTexts)->Unit(benchmark::kMillisecond);

void BM_CarryRepeatedTextsFuzzy(benchmark::State& state) {
  static const Projects p(BenchRecipe(true), Edits(), false);
  Run(state, p, 20);
}
BENCHMARK(BM_CarryRepeatedTextsFuzzy)->Unit(benchmark::kMillisecond);

// Three texts make 85 % of the table.
void BM_CarryDenseRepeats(benchmark::State& state) {
  static const Projects p(DenseRecipe(3, 0.15), Edits(), false);
  Run(state, p, 0);
}
BENCHMARK(BM_CarryDenseRepeats)->Unit(benchmark::kMillisecond);

// Two texts and hardly a unique one: the whole table is one stretch.
void BM_CarryDenseAdversarial(benchmark::State& state) {
  static const Projects p(DenseRecipe(2, 0.005), Edits(), false);
  Run(state, p, 0);
}
BENCHMARK(BM_CarryDenseAdversarial)->Unit(benchmark::kMillisecond);

// The same, with the new version's strings shuffled and eight sections of
// its pointers moved.
void BM_CarryDenseShuffledSections(benchmark::State& state) {
  static const Projects p(DenseRecipe(2, 0.02), Edits(8, sample::VersionEdits::Layout::Shuffled), false);
  Run(state, p, 0);
}
BENCHMARK(BM_CarryDenseShuffledSections)->Unit(benchmark::kMillisecond);

// Two texts, not one unique, and a third of the table changed: too much to
// align, what the limits of the work cost.
void BM_CarryDenseHeavyEdits(benchmark::State& state) {
  sample::VersionEdits edits = Edits(8, sample::VersionEdits::Layout::Shuffled);
  edits.removed = edits.inserted = edits.moved = edits.reworded = 0.3;
  edits.duplicated = 0.2;
  static const Projects p(DenseRecipe(2, 0.0), edits, false);
  Run(state, p, 0);
}
BENCHMARK(BM_CarryDenseHeavyEdits)->Unit(benchmark::kMillisecond);

void BM_CarryDenseSharedTranslations(benchmark::State& state) {
  static const Projects p(DenseRecipe(3, 0.05), Edits(), true);
  Run(state, p, 0);
}
BENCHMARK(BM_CarryDenseSharedTranslations)->Unit(benchmark::kMillisecond);

void BM_CarryShuffledStrings(benchmark::State& state) {
  static const Projects p(MenuRecipe(0.3), Edits(0, sample::VersionEdits::Layout::Shuffled), false);
  Run(state, p, 0);
}
BENCHMARK(BM_CarryShuffledStrings)->Unit(benchmark::kMillisecond);

void BM_CarryReorderedSections(benchmark::State& state) {
  static const Projects p(MenuRecipe(0.3), Edits(8, sample::VersionEdits::Layout::TableOrder), false);
  Run(state, p, 0);
}
BENCHMARK(BM_CarryReorderedSections)->Unit(benchmark::kMillisecond);

void BM_CarryReorderedSectionsShuffled(benchmark::State& state) {
  static const Projects p(MenuRecipe(0.3), Edits(8, sample::VersionEdits::Layout::Shuffled), false);
  Run(state, p, 0);
}
BENCHMARK(BM_CarryReorderedSectionsShuffled)->Unit(benchmark::kMillisecond);

}  // namespace
