// The large project that benchmarks work on: a sample English unit, its
// phrases found by extraction, and the first phrases translated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "analysis/Extraction.h"
#include "analysis/PhraseTable.h"
#include "sampledata/SampleData.h"

namespace velmora::bench {

// A unit of `bytes` bytes with `phrases` strings; the first `edits` phrases
// get the edited text "Translated text <index>".
inline PhraseTable ExtractedBenchTable(size_t bytes, size_t phrases, uint32_t seed, size_t edits) {
  PhraseTable table;
  const auto unit = sample::MakeBenchUnit(bytes, phrases, seed);
  table.UnitImage = unit.bytes;
  table.Info.UnitSize = table.Info.SourceSize = static_cast<uint32_t>(unit.bytes.size());
  table.Info.BaseAddress = unit.baseAddress;
  table.UnitTag = "APM";
  table.UnitName = "APM";
  AnalysisOptions o;
  o.RangeEnd = 0xFFFFFFFF;
  ExtractPhrases(table, o);
  for (size_t i = 0; i < table.Phrases.size() && table.EditedTexts.size() < edits; ++i)
    if (!(table.Phrases[i].Flags & pfLink)) table.AppendEditedText(i, "Translated text " + std::to_string(i));
  return table;
}

}  // namespace velmora::bench
