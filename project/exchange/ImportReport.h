// What an import did: how many entries changed the project, how many were
// skipped and why, and a note with the file's line for each entry that needs
// the translator's eye.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

struct ImportNote {
  size_t Line = 0;  // line of the import file, from 1
  std::string Text;
  // An entry that was refused or forced: the translator must look at it.
  // Such notes are never left out of a report.
  bool Attention = false;
};

struct ImportReport {
  // The first line of the report; the count line of PO and XLIFF imports
  // when empty.
  std::string Headline;
  int Entries = 0;          // entries the file holds; none means it was no phrase file
  int Applied = 0;          // entries that changed the project, switched on
  int StoredOff = 0;        // entries that changed the project, switched off (fuzzy)
  int Unchanged = 0;        // entries that found the project as they say
  int MatchedByText = 0;    // of the above: found by their source text, not their index
  int Forced = 0;           // of the above: applied over a changed source text (--force)
  int Ambiguous = 0;        // skipped: the source text occurs several times, no index names it
  int SourceChanged = 0;    // skipped: the project's source text differs
  int OverBudget = 0;       // texts longer than their room: relocated on output
  int Unrepresentable = 0;  // skipped: a character the code page cannot hold
  int UnknownContext = 0;   // skipped: no phrase of the project has that index
  int TooLong = 0;          // skipped: longer than a project's text may be
  std::vector<ImportNote> Notes;
  bool Changed = false;     // the table changed

  void Note(size_t line, std::string text) { Notes.push_back({line, std::move(text), false}); }
  // A note about an entry that was refused or forced.
  void Attention(size_t line, std::string text) { Notes.push_back({line, std::move(text), true}); }
  // Entries refused for any reason.
  int Refused() const { return SourceChanged + Unrepresentable + UnknownContext + TooLong + Ambiguous; }
  // "3 applied, 40 unchanged, 0 source changed, 1 over budget (these will be
  // relocated), 0 unrepresentable, 0 unknown context, 0 stored switched off,
  // 0 matched by text, 0 forced, 0 ambiguous." (and "N too long" when there
  // are such).
  std::string CountLine() const;
  // Every note that needs attention, then up to maxNotes of the others, each
  // as "<fileName>:<line>: <text>", then how many of the others were left
  // out.
  std::string NotesText(std::string_view fileName, size_t maxNotes) const;
  // Headline (or the count line), then NotesText.
  std::string Text(std::string_view fileName, size_t maxNotes) const;
};

// The error of an import whose file held no entry at all (Entries == 0):
// an empty file or one of another format must never pass as "0 applied".
std::string NoEntryText(std::string_view fileName);

}  // namespace velmora
