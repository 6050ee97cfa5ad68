#include "analysis/AnalyseUnit.h"

#include "analysis/Extraction.h"
#include "analysis/UnitHeader.h"
#include "container/io/StreamErrors.h"

namespace velmora {

AnalysisResult AnalyseUnit(PhraseTable& table, TStream& source, uint32_t unitPos, const AnalysisOptions& options,
                           const AskYesNo& ask) {
  AnalysisResult result;
  auto answer = [&](const char* question) { return ask ? ask(question) : false; };

  // 1. The header; bytes the source does not hold read as zero.
  const TLN_Unit_Record_AISIN header = ReadUnitHeaderFrom(source, unitPos);

  // 2. The maker text.
  if (header.MakerText != kAisinMakerText && !answer(kForeignMakerQuestion)) return result;

  // 3. The three header numbers and the tag.
  table.Info.BaseAddress = header.BaseAddress;
  table.Info.UnitSize = header.UnitSize;
  table.Info.UnitChecksum = header.UnitChecksum;
  table.UnitTag = header.UnitTag;

  // 4. Empty the table.
  table.Reset();
  result.TableReset = true;

  // 5. The unit's bytes, mapped from the source file where it is one, else
  // in one read. A size that the source does not hold is refused before
  // anything is allocated: a small file may claim 4 GB.
  const uint32_t length = table.ImageLength();
  try {
    const int64_t sourceSize = source.Size();
    const int64_t end = int64_t{unitPos} + int64_t{length};
    if (end > sourceSize)
      throw EReadError(source.Name(), "the file ends at byte " + std::to_string(sourceSize) + ", before the unit's end at byte " +
                                          std::to_string(end));
    table.UnitImage = ReadUnitBytes(source, unitPos, length);
  } catch (...) {
    table.Reset();
    throw;
  }

  // 6. The checksum, and on the same pass over the unit the phrases: one
  // reading of a large unit instead of two. The phrases found are dropped
  // again when the user declines the checksum question.
  TPhraseScanner scan(table, options);
  uint32_t sum = 0;
  bool scanning = true;
  if (length >= kUnitHeaderSize + 4) {
    // Chunks start at word boundaries, and the scan reads the same words.
    table.UnitImage.ForEachChunk(kUnitHeaderSize, (length - kUnitHeaderSize) / 4 * 4,
                                 [&](size_t start, const uint8_t* words, size_t count) {
                                   sum += SumBigEndianWords(words, count / 4);
                                   if (scanning) scanning = scan.Scan(start, words, count);
                                   return true;
                                 });
  }
  if (sum != table.Info.UnitChecksum && !answer(kBadChecksumQuestion)) {
    table.Phrases.clear();
    return result;
  }

  result.Mode = scan.Mode();
  result.StoppedAtRecordLimit = table.Phrases.size() > kMaxPhraseRecords;
  result.Completed = true;
  return result;
}

}  // namespace velmora
