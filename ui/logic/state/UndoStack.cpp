#include "ui/logic/state/UndoStack.h"

#include <algorithm>

namespace velmora::ui {

namespace {

const std::string kNoLabel;

// Puts a phrase into a recorded state. The text goes back to the entry the
// state names when that entry still holds it, else to the entry the phrase
// names now when that one holds it, else into a new entry.
void PutState(PhraseTable& table, size_t index, const PhraseState& state) {
  TPhrase record = state.Record;
  TPhrase& phrase = table.Phrases[index];
  if (!state.Text) {
    phrase = record;
    return;
  }
  const int16_t hint = state.Record.EditIndex;
  if (hint >= 0 && static_cast<size_t>(hint) < table.EditedTexts.size() &&
      table.EditedTexts[static_cast<size_t>(hint)] == *state.Text) {
    phrase = record;
    return;
  }
  if (table.HasEditedText(phrase) && table.EditedText(phrase) == *state.Text) {
    record.EditIndex = phrase.EditIndex;
    phrase = record;
    return;
  }
  record.EditIndex = -1;
  phrase = record;
  table.AppendEditedText(index, *state.Text);
}

// After an undo: entries the step appended and that no phrase names any
// more are taken off the end again, so that undoing back to a saved state
// gives the saved list. Only when nothing else was appended meanwhile.
void DropTextsOfStep(PhraseTable& table, const UndoStep& step) {
  const size_t size = table.EditedTexts.size();
  if (step.TextsAfter <= step.TextsBefore || size != step.TextsAfter) return;
  for (const TPhrase& p : table.Phrases)
    if (p.EditIndex >= 0 && static_cast<size_t>(p.EditIndex) >= step.TextsBefore && static_cast<size_t>(p.EditIndex) < size)
      return;
  table.EditedTexts.resize(step.TextsBefore);
}

}  // namespace

bool SameState(const PhraseState& a, const PhraseState& b) {
  const TPhrase& x = a.Record;
  const TPhrase& y = b.Record;
  if (x.LinkAddress != y.LinkAddress || x.StringAddress != y.StringAddress || x.Length != y.Length ||
      x.Flags != y.Flags || x.MasterIndex != y.MasterIndex)
    return false;
  if (a.Text.has_value() != b.Text.has_value()) return false;
  // Without a text the position itself is the state (-1, or a damaged value).
  if (!a.Text) return x.EditIndex == y.EditIndex;
  return *a.Text == *b.Text;
}

PhraseState StateOf(const PhraseTable& table, size_t index) {
  PhraseState s;
  s.Record = table.Phrases[index];
  if (table.HasEditedText(s.Record)) s.Text = std::string(table.EditedText(s.Record));
  return s;
}

PhraseSnapshot::PhraseSnapshot(const PhraseTable& table)
    : phraseCount_(table.Phrases.size()), textCount_(table.EditedTexts.size()) {
  states_.reserve(phraseCount_);
  for (size_t i = 0; i < phraseCount_; ++i) states_.push_back(StateOf(table, i));
}

PhraseSnapshot::PhraseSnapshot(const PhraseTable& table, const std::vector<int32_t>& phrases)
    : phraseCount_(table.Phrases.size()), textCount_(table.EditedTexts.size()), all_(false) {
  for (const int32_t i : phrases) {
    if (i < 0 || static_cast<size_t>(i) >= phraseCount_) continue;
    if (std::find(indices_.begin(), indices_.end(), i) != indices_.end()) continue;
    indices_.push_back(i);
  }
  std::sort(indices_.begin(), indices_.end());
  states_.reserve(indices_.size());
  for (const int32_t i : indices_) states_.push_back(StateOf(table, static_cast<size_t>(i)));
}

std::optional<UndoStep> PhraseSnapshot::Step(const PhraseTable& now, std::string label) const {
  if (now.Phrases.size() != phraseCount_) return std::nullopt;
  UndoStep step;
  step.Label = std::move(label);
  step.TextsBefore = textCount_;
  step.TextsAfter = now.EditedTexts.size();
  for (size_t k = 0; k < states_.size(); ++k) {
    const size_t index = all_ ? k : static_cast<size_t>(indices_[k]);
    PhraseState after = StateOf(now, index);
    if (SameState(states_[k], after)) continue;
    step.Changes.push_back({static_cast<int32_t>(index), states_[k], std::move(after)});
  }
  return step;
}

const std::string& UndoStack::UndoLabel() const { return CanUndo() ? steps_[position_ - 1].Label : kNoLabel; }
const std::string& UndoStack::RedoLabel() const { return CanRedo() ? steps_[position_].Label : kNoLabel; }

void UndoStack::Push(UndoStep step) {
  if (step.Changes.empty()) return;
  if (position_ < steps_.size()) {
    // The saved state lay among the steps now dropped: nothing leads back.
    if (clean_ && *clean_ > position_) clean_.reset();
    steps_.resize(position_);
  }
  steps_.push_back(std::move(step));
  ++position_;
  if (steps_.size() > kMaxSteps) {
    steps_.erase(steps_.begin());
    --position_;
    if (clean_) {
      if (*clean_ == 0) clean_.reset();
      else --*clean_;
    }
  }
}

const UndoStep* UndoStack::Undo(PhraseTable& table) {
  if (!CanUndo()) return nullptr;
  const UndoStep& step = steps_[position_ - 1];
  for (auto it = step.Changes.rbegin(); it != step.Changes.rend(); ++it)
    if (static_cast<size_t>(it->Index) < table.Phrases.size()) PutState(table, static_cast<size_t>(it->Index), it->Before);
  DropTextsOfStep(table, step);
  --position_;
  return &step;
}

const UndoStep* UndoStack::Redo(PhraseTable& table) {
  if (!CanRedo()) return nullptr;
  const UndoStep& step = steps_[position_];
  for (const PhraseChange& c : step.Changes)
    if (static_cast<size_t>(c.Index) < table.Phrases.size()) PutState(table, static_cast<size_t>(c.Index), c.After);
  ++position_;
  return &step;
}

void UndoStack::Clear() {
  steps_.clear();
  position_ = 0;
  clean_ = 0;
}

}  // namespace velmora::ui
