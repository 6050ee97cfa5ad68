// What a build of the project writes, worked out from the project alone:
// which switched-on translations go in place and which are relocated, how
// many bytes the relocation area takes and the unit's old and new size. The
// build commands report it as their summary and the verification of a built
// file checks the file against it, so neither depends on how the builder
// writes its output.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/PhraseTable.h"

namespace velmora {

// One switched-on translation that a build writes.
struct PlannedText {
  size_t Index = 0;             // the phrase's position in Phrases
  std::string Bytes;            // PrepareText of its edited text
  bool Relocated = false;       // too long for its room: moved to the appended area
  uint64_t RelocatedSize = 0;   // bytes it takes in the appended area (0 in place)
};

struct BuildSummary {
  size_t InPlace = 0;           // translations written over their old text
  size_t Relocated = 0;         // translations moved to the appended area
  uint64_t AppendedBytes = 0;   // the relocation area's length
  uint64_t OldSize = 0;         // the unit image's length
  uint64_t NewSize = 0;         // the built unit's size field: old size + appended, to a multiple of 4
  uint64_t PaddedSize = 0;      // the built unit with its zero padding to a multiple of 2048
};

struct TranslationPlan {
  uint32_t ImageLength = 0;         // bytes of the image a build copies
  std::vector<PlannedText> Texts;   // in table order
  BuildSummary Summary;
};

// True when the record's pointer word and, for a phrase, its string lie
// within the image: a build leaves every other record alone.
bool RecordFitsImage(const TPhrase& p, uint32_t imageLength, bool withString);

TranslationPlan PlanTranslations(const PhraseTable& table);
inline BuildSummary SummarizeBuild(const PhraseTable& table) { return PlanTranslations(table).Summary; }

// The summary as the build and verify commands print it, one fact a line.
std::vector<std::string> SummaryLines(const BuildSummary& summary);

}  // namespace velmora
