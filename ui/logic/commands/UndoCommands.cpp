#include "ui/logic/commands/UndoCommands.h"

namespace velmora::ui {

std::string UndoCommands::StepName(const std::string& label) const {
  for (const CaptionId id : {CaptionId::HideSwitchedStepName, CaptionId::OnSwitchedStepName,
                             CaptionId::TranslationEditedStepName, CaptionId::ImportStepName,
                             CaptionId::TakeTranslationsStepName})
    if (label == CaptionText(id, UiLanguage::English)) return view_.Caption(id);
  return label;
}

void UndoCommands::UpdateUndoCommands() {
  const UndoStack& history = project_.History();
  project_.SetUndoCommands(history.CanUndo(), history.CanRedo());
}

bool UndoCommands::RecordStep(const PhraseSnapshot& before, const std::string& label) {
  if (depth_ > 0) return false;
  auto step = before.Step(project_.Table(), label);
  if (!step) {
    // The command replaced the project: no earlier step applies.
    project_.History().Clear();
  } else if (!step->Changes.empty()) {
    project_.History().Push(std::move(*step));
    UpdateUndoCommands();
    window_.Notify(project_.MarkModified());
    return true;
  }
  UpdateUndoCommands();
  window_.Notify(kChangedCommands);
  return false;
}

bool UndoCommands::RunAsUndoStep(const std::string& label, const std::function<void()>& fn) {
  if (depth_ > 0) {
    fn();
    return false;
  }
  const PhraseSnapshot before(project_.Table());
  struct Depth {
    int& n;
    explicit Depth(int& d) : n(d) { ++n; }
    ~Depth() { --n; }
  };
  try {
    const Depth depth(depth_);
    fn();
  } catch (...) {
    RecordStep(before, label);
    throw;
  }
  return RecordStep(before, label);
}

void UndoCommands::StepCommand(bool undo) {
  UndoStack& history = project_.History();
  if (undo ? !history.CanUndo() : !history.CanRedo()) {
    window_.Ui().Beep();
    return;
  }
  const UndoStep* step = nullptr;
  PhraseTable& table = project_.Table();
  // Putting a text back may meet a full list of edited texts.
  const bool ok = window_.Guard([&] { step = undo ? history.Undo(table) : history.Redo(table); });
  project_.SetModified(!ok || !history.IsClean());
  UpdateUndoCommands();
  PhraseGrid& grid = view_.Grid();
  grid.RefillGrid();
  if (step && !step->Changes.empty()) grid.SelectPhrase(step->Changes.front().Index);
  if (step)
    window_.Ui().ShowStatusLine(view_.Caption(undo ? CaptionId::UndoneStatusText : CaptionId::RedoneStatusText) +
                                StepName(step->Label));
  window_.Notify(kChangedRows | kChangedSelection | kChangedMemos | kChangedHeaders | kChangedCommands);
}

}  // namespace velmora::ui
