// The captions of both interface languages, the close questions and the
// column labels, and the fixed texts that keep one form in every language.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace velmora::ui {

enum class UiLanguage { English, Russian };

// The window a caption belongs to.
enum class CaptionWindow { Main, TranslationEditor, NewProject, LoaderRebuild, LoaderUnits, TakeTranslations };

// One id per row of the caption table, in the order the language commands
// apply them.
enum class CaptionId {
  FileToolButtonCaption,
  EditToolButtonCaption,
  OpenProjectToolBtnCaption,
  SaveProjectToolBtnCaption,
  CodePageToolBtnCaption,
  NoFilterToolButtonCaption,
  NoFilterToolButtonHint,
  NoHiddenToolButtonCaption,
  NoHiddenToolButtonHint,
  OnlyEditedToolButtonCaption,
  OnlyEditedToolButtonHint,
  ResultToolButtonCaption,
  ResultToolButtonHint,
  LanguageToolBtnCaption,
  HelpToolBtnCaption,
  HelpToolBtnHint,
  FindPanelCaption,
  OriginHeader,
  EditedHeader,
  SaveChangesPrompt,
  SaveProjectPrompt,
  OpenProjectItemCaption,
  OpenFileItemCaption,
  OpenBinFileItemCaption,
  SaveProjectItemCaption,
  SaveProjectAsItemCaption,
  SaveFileItemCaption,
  SaveBinFileItemCaption,
  ExitItemCaption,
  EditFormCaption,
  EditFormCancelBtnCaption,
  NewProjectFormCaption,
  NewProjectLabel1Text,
  NewProjectStartBtnCaption,
  NewProjectCancelBtnCaption,
  LoaderFormCaption,
  LoaderLabel1Text,
  LoaderLabel2Text,
  LoaderOpenSourceBtnCaption,
  LoaderUnsuitableText,
  CopyMenuItemCaption,
  CopyAllMenuItemCaption,
  ExportMenuItemCaption,
  ImportMenuItemCaption,
  UndoMenuItemCaption,
  RedoMenuItemCaption,
  FindOriginMenuItemCaption,
  FindEditedMenuItemCaption,
  FindNextMenuItemCaption,
  FindPreviousMenuItemCaption,
  ToggleHideMenuItemCaption,
  ToggleOnMenuItemCaption,
  TakeTranslationsItemCaption,
  CheckMenuItemCaption,
  CharsetMenuItemCaption,
  ProblemsPanelCaption,
  LoaderUnitsFormCaption,
  LoaderUnitsLabelText,
  LoaderUnitsAddBtnCaption,
  LoaderUnitsRemoveBtnCaption,
  LoaderUnitsOkBtnCaption,
  LoaderUnitsCancelBtnCaption,
  // The menu bar's titles, each with its mnemonic after "&".
  FileMenuTitle,
  EditMenuTitle,
  CodePageMenuTitle,
  LanguageMenuTitle,
  HelpMenuTitle,
  HelpItemCaption,
  // The unsaved-work question when the project is about to be replaced, or
  // when a project that never had a file closes: a sentence on what is
  // unsaved and a question that names what comes next.
  ProjectNeverSavedText,
  SaveChangesBeforeOpenQuestion,
  SaveChangesBeforeCreateQuestion,
  SaveProjectBeforeQuitQuestion,
  SaveProjectBeforeOpenQuestion,
  SaveProjectBeforeCreateQuestion,
  // The buttons of the window's questions.
  YesButtonCaption,
  NoButtonCaption,
  CancelButtonCaption,
  // The status line after an undo or a redo ("Undone: " and the step's
  // name), the names of the steps, and the note of a search that finds
  // nothing.
  UndoneStatusText,
  RedoneStatusText,
  HideSwitchedStepName,
  OnSwitchedStepName,
  TranslationEditedStepName,
  ImportStepName,
  TakeTranslationsStepName,
  NotFoundStatusText,
  // The Take Translations dialogs: the file dialog's and the report's
  // title, the report's heading ("{file}" and "{count}" stand for the old
  // project's file name and the number of translations taken), the forms of
  // the word "translation" after a number (singular|plural in English,
  // one|few|many in Russian), and the report table's column heads and rows.
  TakeTranslationsTitle,
  TakeTranslationsHeading,
  TranslationCountForms,
  CarryPhrasesColumn,
  CarryTranslatedColumn,
  CarryCarriedRow,
  CarryReviewRow,
  CarryKeptRow,
  CarryAmbiguousRow,
  CarryLimitRow,
  CarryNewRow,
  CarryGoneRow,
  CarryMatchedRow,
  Count
};
constexpr size_t kCaptionCount = static_cast<size_t>(CaptionId::Count);

struct CaptionRow {
  CaptionId Id;
  CaptionWindow Window;
  const char* Control;  // the control's name; "(window)" for the window itself
  const char* What;     // "caption", "tooltip", "text", "label", "question"
  const char* English;
  const char* Russian;
};

// Every row, in the order in which they are applied.
const std::array<CaptionRow, kCaptionCount>& CaptionRows();
const CaptionRow& CaptionRowOf(CaptionId id);
std::string_view CaptionText(CaptionId id, UiLanguage lang);

// Texts that do not change with the language.
inline constexpr std::string_view kWelcomeText = "Welcome to Velmora";
inline constexpr std::string_view kEnglishMenuCaption = "English";
inline constexpr std::string_view kRussianMenuCaption = "Русский";
inline constexpr std::array<std::string_view, 7> kFixedGridHeaders = {
    " Index", " HIDE", "", "  ON", "", "Link Address", "String Address"};

}  // namespace velmora::ui
