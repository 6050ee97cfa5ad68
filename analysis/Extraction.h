// Phrase extraction: every aligned word of the unit's body is tried as a
// big-endian pointer; a pointer whose target looks like the start of a
// zero-terminated text in the chosen script makes a phrase, a further pointer
// to a string already listed makes a link record.
#pragma once

#include <cstdint>

#include "analysis/AnalyseUnit.h"
#include "analysis/PhraseTable.h"
#include "project/CodePages.h"

namespace velmora {

// Longest origin string, in bytes before its zero byte.
constexpr uint32_t kMaxPhraseLength = 511;

// Length of the text in the chosen script that starts at offset v of image
// (imageLength bytes), or 0 when no acceptable zero-terminated string starts
// there. The string with its zero byte must lie within the first
// imageLength - 7 bytes.
uint32_t MeasurePhrase(const uint8_t* image, uint32_t imageLength, uint32_t v, TextMode mode);

// Appends the phrase and link records of table.UnitImage to table.Phrases
// (normally empty). Uses Info.BaseAddress and ImageLength(). Returns the
// display code page the analysis chooses: Japanese for the Japanese mode,
// Default otherwise.
CodePage ExtractPhrases(PhraseTable& table, const AnalysisOptions& options);

}  // namespace velmora
