// Undo and redo of the changes made to the open project's phrases.
//
// A step records, for every phrase a command changed, the phrase's record
// and the content of its edited text before and after the command. Texts
// are kept by content, not by their position in EditedTexts: positions may
// change between steps (a full list of edited texts is compacted and
// renumbered), so a step puts a text back where an equal entry still
// stands, or appends it anew.
//
// The stack lives only in memory; nothing of it is stored in the project
// file. A "clean" position marks the state last saved (or opened, or
// created): an undo or redo that comes back to it leaves the project
// unmodified.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/PhraseTable.h"

namespace velmora::ui {

// One phrase as a step sees it: its record and, when the record names an
// edited text, that text's content.
struct PhraseState {
  TPhrase Record;
  std::optional<std::string> Text;
};

// Two states are the same when every field but the text's position matches
// and the texts are equal.
bool SameState(const PhraseState& a, const PhraseState& b);

struct PhraseChange {
  int32_t Index = -1;
  PhraseState Before;
  PhraseState After;
};

struct UndoStep {
  std::string Label;                 // what the command was, for the status line
  std::vector<PhraseChange> Changes; // in ascending phrase order
  size_t TextsBefore = 0;            // size of EditedTexts before the command
  size_t TextsAfter = 0;             // and after it
};

// The phrases before a command runs; Step() compares them with the table
// afterwards.
class PhraseSnapshot {
 public:
  // Every phrase of the table.
  explicit PhraseSnapshot(const PhraseTable& table);
  // Only the named phrases (a command that knows which phrases it touches);
  // indices outside the table are left out.
  PhraseSnapshot(const PhraseTable& table, const std::vector<int32_t>& phrases);

  // What changed since the snapshot. nullopt when the table now holds a
  // different number of phrases (another project replaced it): such a
  // change cannot be undone phrase by phrase. A step without changes is
  // returned with an empty Changes list.
  std::optional<UndoStep> Step(const PhraseTable& now, std::string label) const;

 private:
  size_t phraseCount_ = 0;
  size_t textCount_ = 0;
  bool all_ = true;  // every phrase, in table order; else indices_
  std::vector<int32_t> indices_;
  std::vector<PhraseState> states_;
};

// A phrase's state as the table holds it now.
PhraseState StateOf(const PhraseTable& table, size_t index);

class UndoStack {
 public:
  // Steps kept; the oldest is dropped beyond this.
  static constexpr size_t kMaxSteps = 1000;

  // Adds a step after the current position; the steps that could have been
  // redone are dropped. A step without changes is ignored.
  void Push(UndoStep step);

  bool CanUndo() const { return position_ > 0; }
  bool CanRedo() const { return position_ < steps_.size(); }
  // Labels of the steps an undo or a redo would take back or bring again.
  const std::string& UndoLabel() const;
  const std::string& RedoLabel() const;

  // Puts the phrases of the last step back as they were before it (Undo) or
  // makes it again (Redo). Returns the step, or nullptr when there is none.
  // Raises what appending an edited text raises (a full list).
  const UndoStep* Undo(PhraseTable& table);
  const UndoStep* Redo(PhraseTable& table);

  // The table was replaced (another project): no step applies any more, and
  // the new state is clean.
  void Clear();
  // The current state was saved.
  void MarkClean() { clean_ = position_; }
  // True when the phrases are as they were at the last MarkClean or Clear.
  bool IsClean() const { return clean_ && *clean_ == position_; }

  size_t Count() const { return steps_.size(); }
  size_t Position() const { return position_; }

 private:
  std::vector<UndoStep> steps_;
  size_t position_ = 0;
  // nullopt: the saved state can no longer be reached by undo or redo.
  std::optional<size_t> clean_ = 0;
};

}  // namespace velmora::ui
