// Phrase extraction: every aligned word of the unit's body is tried as a
// big-endian pointer; a pointer whose target looks like the start of a
// zero-terminated text in the chosen script makes a phrase, a further pointer
// to a string already listed makes a link record.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include <algorithm>

#include "analysis/AnalyseUnit.h"
#include "analysis/PhraseTable.h"

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
// script whose texts it looked for.
TextMode ExtractPhrases(PhraseTable& table, const AnalysisOptions& options);

// ExtractPhrases as a pass that its caller feeds, so that one pass over the
// unit can serve other work too (AnalyseUnit sums the checksum on it).
class TPhraseScanner {
 public:
  // A run on table, whose UnitImage is complete.
  TPhraseScanner(PhraseTable& table, const AnalysisOptions& options);
  ~TPhraseScanner();
  TPhraseScanner(const TPhraseScanner&) = delete;
  TPhraseScanner& operator=(const TPhraseScanner&) = delete;

  // The image bytes whose words the run reads: [Begin(), End()), empty
  // when there is nothing to scan.
  size_t Begin() const { return kScanStart; }
  size_t End() const { return std::max(end_, kScanStart); }
  // Scans the words of the image bytes [start, start + count), which come
  // in order and start at word boundaries. False once the run has ended.
  bool Scan(size_t start, const uint8_t* words, size_t count);
  // The script whose texts the run looks for.
  TextMode Mode() const;

 private:
  static constexpr size_t kScanStart = 128;  // the first word after the unit header
  struct Run;
  std::unique_ptr<Run> run_;
  size_t end_ = 0;
};

}  // namespace velmora
