// The grid's filters and the rows they let through.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "analysis/PhraseTable.h"

namespace velmora {

enum class GridFilter {
  NoFilter,
  NoHidden,
  OnlyEdited,
  FinalResult,
  Untranslated,  // no translation
  ToReview,      // a translation that is switched off
};

// The two kinds of work left on a phrase, as the filters and the counts of
// a project read them (link records are neither).
bool IsUntranslated(const TPhrase& phrase);
bool IsToReview(const TPhrase& phrase);

// How many records of each kind a table holds, as a project's summary
// lists them.
struct PhraseCounts {
  size_t Phrases = 0;  // records that are no links
  size_t Links = 0;
  size_t Hidden = 0;   // phrases with HIDE set
  size_t Edited = 0;   // phrases with an edited text
  size_t On = 0;       // phrases switched on
};
PhraseCounts CountPhrases(const PhraseTable& table);

// The phrase indices shown under a filter, in table order. Link records are
// never shown.
std::vector<int32_t> FilterRows(const PhraseTable& table, GridFilter filter);

// "all", "no-hidden", "only-edited", "final", "untranslated", "to-review"
// (the command line's names).
std::optional<GridFilter> GridFilterFromName(std::string_view name);
// The names above as a list for help texts and messages: "all, no-hidden,
// only-edited, final, untranslated or to-review".
std::string_view GridFilterNameList();

}  // namespace velmora
