// The three-way merge of a project's phrases, for a window whose project
// was changed on disk meanwhile (by velmora-cli or another window). The base
// is what the window last loaded or saved, mine is the window's table,
// theirs the disk copy. Each phrase is a record: its HIDE and ON flags and
// its edited text. A phrase changed on one side only takes that side's
// version; changed on both sides in different ways, it is a conflict.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "analysis/PhraseTable.h"

namespace velmora {

// What the translator decides of one phrase.
struct PhraseVersion {
  uint16_t Flags = 0;  // pfHide and pfOn only
  bool HasText = false;
  std::string Text;    // the edited text, when HasText
  bool operator==(const PhraseVersion&) const = default;
};

// The records and texts of a table without its unit bytes: what a merge
// needs of the base.
struct PhraseRecords {
  std::vector<TPhrase> Phrases;
  std::vector<std::string> EditedTexts;

  static PhraseRecords Of(const PhraseTable& table) { return {table.Phrases, table.EditedTexts}; }
  PhraseVersion Version(size_t index) const;
};

struct MergeConflict {
  size_t Index = 0;
  PhraseVersion Mine;
  PhraseVersion Theirs;
};

struct MergePlan {
  // False when the three do not list the same phrases (another unit, or a
  // project made anew): nothing can be merged.
  bool SameProject = true;
  std::vector<size_t> TakeTheirs;  // changed on disk only
  std::vector<MergeConflict> Conflicts;
};

MergePlan PlanMerge(const PhraseRecords& base, const PhraseRecords& mine, const PhraseRecords& theirs);

// Gives phrase index of table the version: its flags, and its edited text
// (a new entry when the text differs, none when the version has none).
void TakeVersion(PhraseTable& table, size_t index, const PhraseVersion& version);

}  // namespace velmora
