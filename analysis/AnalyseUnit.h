// Reading, checking and analysing one unit into the phrase table.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "analysis/PhraseTable.h"
#include "container/io/Stream.h"
#include "analysis/TextMode.h"

namespace velmora {

struct AnalysisOptions {
  TextMode Mode = TextMode::English;
  bool HideAbc = true;
  uint32_t RangeStart = 0;
  uint32_t RangeEnd = 0;  // callers set SourceSize when no range is chosen
};

// A Yes/No question to the user: the desktop program shows a confirmation
// box, tests and the command line give scripted answers. Returns true for Yes.
using AskYesNo = std::function<bool(const std::string& question)>;

inline constexpr const char* kForeignMakerQuestion = "Are you sure this is an AISIN unit?";
inline constexpr const char* kBadChecksumQuestion = "The CRC of this unit is incorrect. Continue anyway?";

struct AnalysisResult {
  bool Completed = false;                    // false when a question was declined
  TextMode Mode = TextMode::English;         // the script whose texts were found
  // True once the table was emptied for the new unit (the maker question was
  // passed). False means the table, image and Info are as they were.
  bool TableReset = false;
  // True when extraction stopped at its record limit, so texts further on
  // in the unit (or the range) were not looked at.
  bool StoppedAtRecordLimit = false;
};

// What the status panel and the command line say when extraction stopped at
// its record limit.
inline constexpr const char* kRecordLimitText = "stopped at 30,001 records: choose a smaller range";

// Runs the whole analysis of the unit at unitPos of source, with
// table.Info.SourceSize already set by the caller. Returns Completed false
// when the user declined a question; stream errors propagate. A source that
// holds fewer than ImageLength bytes from unitPos raises EReadError with the
// table left empty. An empty ask answers No.
AnalysisResult AnalyseUnit(PhraseTable& table, TStream& source, uint32_t unitPos, const AnalysisOptions& options,
                           const AskYesNo& ask);

}  // namespace velmora
