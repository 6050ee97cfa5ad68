// Fuzzes the analysis of a unit from a .BIN file: the first bytes choose the
// text mode, "Hide ABC", the answers to the two questions and an address
// range; the rest is the file. The table extraction leaves must keep every
// promise of the phrase table, and the unit built from it must carry a
// size and checksum that agree with its bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzChecks.h"
#include "FuzzInputFile.h"
#include "analysis/ProjectCreation.h"
#include "container/io/StreamErrors.h"
#include "project/build/BinBuilder.h"

using namespace velmora;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::InputReader in(data, size);
  const uint8_t flags = in.Byte();
  AnalysisOptions options;
  options.Mode = static_cast<TextMode>(flags % 3);
  options.HideAbc = flags & 4;
  const bool yes = flags & 8;
  const bool ranged = flags & 16;
  const uint32_t rangeStart = in.Word32();
  const uint32_t rangeEnd = in.Word32();
  const std::string& path = fuzz::WriteInputFile("APM.BIN", in.Rest(), in.RestSize());
  options.RangeStart = ranged ? rangeStart : 0;
  options.RangeEnd = ranged ? rangeEnd : static_cast<uint32_t>(in.RestSize());

  PhraseTable table;
  CreationResult result;
  try {
    result = CreateProjectFromBin(table, path, options, [&](const std::string&) { return yes; });
  } catch (const EStreamError&) {
    return 0;
  }
  if (!result.Analysis.Completed) {
    fuzz::Check(!yes);
    return 0;
  }
  fuzz::CheckExtractedTable(table);
  fuzz::Check(table.ImageLength() <= in.RestSize());
  fuzz::Check(result.Analysis.StoppedAtRecordLimit == (table.Phrases.size() > kMaxPhraseRecords));
  for (const TPhrase& p : table.Phrases)
    fuzz::Check(!ranged || (p.StringAddress >= rangeStart && p.StringAddress <= rangeEnd));

  // Every phrase gets a text one byte too long for its room, so each one
  // moves, and the unit is built.
  for (size_t i = 0; i < table.Phrases.size() && i < 64; ++i) {
    if (table.Phrases[i].Flags & pfLink) continue;
    table.AppendEditedText(i, std::string(table.Phrases[i].Length + 1u, 'T'));
    table.Phrases[i].Flags = static_cast<uint16_t>(table.Phrases[i].Flags | pfOn);
  }
  const auto unit = AssembleUnit(table);
  fuzz::Check(unit.size() % kUnitPadding == 0);
  if (unit.size() >= kUnitHeaderSize) {
    const uint32_t newSize = LoadBE32(&unit[kUnitSizeOffset]);
    fuzz::Check(newSize <= unit.size() && newSize >= table.ImageLength());
    fuzz::Check(LoadBE32(&unit[kUnitChecksumOffset]) == SumWords(unit.data(), newSize));
  }
  return 0;
}
