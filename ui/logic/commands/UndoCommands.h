// Undo and redo in the window: every command that changes phrases records
// what it changed as one step (state/UndoStack.h); Edit menu Undo and
// Redo take the steps back and bring them again.
#pragma once

#include <functional>
#include <string>

#include "ui/logic/MainWindow.h"
#include "ui/logic/state/ProjectState.h"
#include "ui/logic/state/Presentation.h"
#include "ui/logic/state/UndoStack.h"

namespace velmora::ui {

// The names of the undoable steps as a step records them: the English form
// of their caption-table rows. The status line after an undo ("Undone:
// ...") or a redo ("Redone: ...") shows them in the interface language.
inline const std::string kUndoHideLabel{CaptionText(CaptionId::HideSwitchedStepName, UiLanguage::English)};
inline const std::string kUndoOnLabel{CaptionText(CaptionId::OnSwitchedStepName, UiLanguage::English)};
inline const std::string kUndoEditLabel{CaptionText(CaptionId::TranslationEditedStepName, UiLanguage::English)};
inline const std::string kUndoImportLabel{CaptionText(CaptionId::ImportStepName, UiLanguage::English)};
inline const std::string kUndoTakeTranslationsLabel{
    CaptionText(CaptionId::TakeTranslationsStepName, UiLanguage::English)};

class UndoCommands {
 public:
  UndoCommands(MainWindow& window, ProjectState& project, Presentation& view)
      : window_(window), project_(project), view_(view) {}

  // Runs fn as one undoable step: every phrase it changes (its record and
  // the content of its edited text) is recorded, and a change marks the
  // project modified. Any command that changes phrases can be wrapped so,
  // e.g. RunAsUndoStep(kUndoImportLabel, [&] { ImportPhrases(table, bytes); }).
  // Returns true when a step was recorded. A call inside another joins the
  // outer step. An exception from fn passes through once the changes made
  // so far are recorded. fn may refill the grid but must not replace the
  // project (a table with another number of phrases empties the stack).
  bool RunAsUndoStep(const std::string& label, const std::function<void()>& fn);
  // Pushes what changed since `before` as a step (not inside RunAsUndoStep,
  // whose step takes it in). Returns true when a step was pushed.
  bool RecordStep(const PhraseSnapshot& before, const std::string& label);

  // Edit menu Undo (Ctrl+Z) and Redo (Ctrl+Y, Ctrl+Shift+Z). The grid is
  // refilled and the first phrase of the step selected when shown; an undo
  // or redo back to the saved state clears Modified.
  void UndoCommand() { StepCommand(true); }
  void RedoCommand() { StepCommand(false); }

 private:
  void StepCommand(bool undo);
  void UpdateUndoCommands();
  // A step's name in the interface language; a label that names none of
  // the window's own steps is shown as it is.
  std::string StepName(const std::string& label) const;

  MainWindow& window_;
  ProjectState& project_;
  Presentation& view_;
  int depth_ = 0;  // RunAsUndoStep calls under way
};

}  // namespace velmora::ui
