// The commands that exchange texts with the world outside the project: the
// Edit menu's Copy, Export and Import of a phrase file (in the format, and
// for text files the encoding, of the filter chosen in the dialog), and
// "Take Translations from Project ...", which carries the translations of
// an older version of the unit over. Copy All has no action.
#pragma once

#include <cstddef>
#include <string>

#include "ui/logic/MainWindow.h"
#include "ui/logic/commands/UndoCommands.h"
#include "ui/logic/dialogs/FileDialogs.h"
#include "ui/logic/state/ProjectState.h"
#include "ui/logic/state/Presentation.h"

namespace velmora::ui {

// The Export and Import dialogs list the phrase-file formats
// (PhraseDialogFilters); a new export file is proposed as a text file.
inline const std::string kExportExt = "txt";
// The import's message box lists at most this many of the report's notes.
inline constexpr size_t kMaxImportNotesShown = 20;
inline const std::string kTakingTranslationsText = "Taking translations ...";

class ExchangeCommands {
 public:
  // The changes of Import and Take Translations are steps of undo.
  ExchangeCommands(MainWindow& window, ProjectState& project, Presentation& view, FileDialogs& dialogs,
                   UndoCommands& undo)
      : window_(window), project_(project), view_(view), dialogs_(dialogs), undo_(undo) {}

  // The origin text box to the clipboard, as the box shows it in the
  // display code page and as its 8-bit bytes.
  void CopyCommand();
  void ExportCommand();
  void ImportCommand();
  // Asks for the project of an older version of the unit and carries its
  // translations over to the open project (project/carry/Carry.h), then
  // shows the counts.
  void TakeTranslationsCommand();

 private:
  MainWindow& window_;
  ProjectState& project_;
  Presentation& view_;
  FileDialogs& dialogs_;
  UndoCommands& undo_;
};

}  // namespace velmora::ui
