// Projects the benchmarks share.
#pragma once

#include <string>

#include "analysis/PhraseTable.h"
#include "sampledata/SampleData.h"

namespace velmora::bench {

// Translates every phrase and switches it on: alternately a text that fits
// in place and one that must move.
inline void TranslateHalfRelocated(PhraseTable& t) {
  size_t n = 0;
  for (size_t i = 0; i < t.Phrases.size(); ++i) {
    TPhrase& p = t.Phrases[i];
    if (p.Flags & pfLink) continue;
    const size_t length = (n++ % 2 == 0) ? p.Length / 2 : p.Length + 9u;
    t.AppendEditedText(i, std::string(length, static_cast<char>('A' + n % 26)));
    p.Flags = pfOn;
  }
}

// A 64 MB unit with 30,000 phrases, all translated by TranslateHalfRelocated.
inline PhraseTable HalfRelocatedBenchProject() {
  const sample::SampleUnit unit = sample::MakeBenchUnit(64u << 20, 30000, 7);
  PhraseTable t;
  t.UnitImage = unit.bytes;
  t.Info.BaseAddress = unit.baseAddress;
  t.Info.UnitSize = t.Info.SourceSize = static_cast<uint32_t>(unit.bytes.size());
  t.Info.UnitChecksum = unit.checksum;
  t.UnitTag = t.UnitName = "APM";
  t.Phrases = sample::ExpectedRecords(unit, true);
  TranslateHalfRelocated(t);
  return t;
}

}  // namespace velmora::bench
