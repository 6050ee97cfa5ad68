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
};

struct ImportReport {
  // The first line of the report; the count line of PO and XLIFF imports
  // when empty.
  std::string Headline;
  int Applied = 0;          // entries that changed the project
  int Unchanged = 0;        // entries that found the project as they say
  int SourceChanged = 0;    // skipped: the project's source text differs
  int OverBudget = 0;       // texts longer than their room: relocated on output
  int Unrepresentable = 0;  // skipped: a character the code page cannot hold
  int UnknownContext = 0;   // skipped: no phrase of the project has that index
  int TooLong = 0;          // skipped: longer than a project's text may be
  std::vector<ImportNote> Notes;
  bool Changed = false;     // the table changed

  void Note(size_t line, std::string text) { Notes.push_back({line, std::move(text)}); }
  // "3 applied, 40 unchanged, 0 source changed, 1 over budget (these will be
  // relocated), 0 unrepresentable, 0 unknown context." (and "N too long"
  // when there are such).
  std::string CountLine() const;
  // Headline (or the count line), then up to maxNotes notes, each as
  // "<fileName>:<line>: <text>", then how many notes were left out.
  std::string Text(std::string_view fileName, size_t maxNotes) const;
};

}  // namespace velmora
