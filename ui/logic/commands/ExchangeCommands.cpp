#include "ui/logic/commands/ExchangeCommands.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <vector>

#include "container/io/Stream.h"
#include "project/carry/Carry.h"
#include "project/carry/CarryWarnings.h"
#include "project/exchange/PhraseFormat.h"
#include "project/exchange/TextExchange.h"
#include "ui/logic/words/DialogFilters.h"
#include "ui/logic/words/TakeTranslationsReport.h"

namespace velmora::ui {

void ExchangeCommands::CopyCommand() {
  // What the origin text box shows: the bytes read through the display code
  // page, not through one fixed code page.
  const std::string& bytes = view_.Grid().Memo1();
  window_.Ui().SetClipboardText({bytes, view_.DisplayText(bytes), IconvCharset(view_.DisplayCodePage())});
}

void ExchangeCommands::ExportCommand() {
  const std::vector<DialogFilter> filters = PhraseDialogFilters(PhraseFormat::kCanWrite);
  const auto path = dialogs_.ChooseToSave(
      {JoinDialogFilters(filters, view_.Language()), kExportExt, std::string(kProposedExportName)});
  if (!path) return;
  const DialogFilter& chosen = filters[std::min(window_.Ui().ChosenFilter(), filters.size() - 1)];
  ExchangeOptions options;
  options.Page = view_.DisplayCodePage();
  options.Encoding = chosen.Encoding;
  window_.Guard([&] {
    project_.RefuseOutputOverProject(*path, true);
    ExportPhraseFile(*chosen.Format, project_.Table(), view_.Grid().VisibleRows(), *path, options);
  });
}

void ExchangeCommands::ImportCommand() {
  Platform& ui = window_.Ui();
  const std::vector<DialogFilter> filters = ImportDialogFilters();
  const auto path = dialogs_.ChooseToOpen({JoinDialogFilters(filters, view_.Language()), "", ""});
  if (!path) return;
  const DialogFilter& chosen = filters[std::min(ui.ChosenFilter(), filters.size() - 1)];
  std::string bytes;
  if (!window_.Guard([&] { bytes = ReadPhraseFile(*path); }))
    return;
  // The chosen filter's format when the file has its extension; otherwise
  // the file's extension or first bytes tell.
  const PhraseFormat* format = chosen.Format && chosen.Format->HasExtension(*path) ? chosen.Format : nullptr;
  ExchangeOptions options;
  options.Page = view_.DisplayCodePage();
  options.Encoding = chosen.Encoding;

  ImportReport report;
  std::string error;
  // The whole import is one step; imported texts are a change of the
  // project, so closing asks about them.
  undo_.RunAsUndoStep(kUndoImportLabel, [&] {
    try {
      report = ImportPhraseBytes(format, project_.Table(), *path, bytes, options);
    } catch (const std::exception& e) {
      error = e.what();
    }
  });
  // The texts read before an error of a text file stay attached and are shown.
  view_.Grid().RefillGrid();
  window_.Notify(kChangedRows | kChangedSelection | kChangedMemos | kChangedHeaders);
  // A file without a single entry is no phrase file: an error, as on the
  // command line, never a report of nothing applied.
  if (error.empty() && report.Entries == 0) error = NoEntryText(*path);
  if (error.empty())
    ui.MessageBox(report.Text(std::filesystem::path(*path).filename().string(), kMaxImportNotesShown), Buttons::Ok,
                  BoxKind::Information);
  else
    ui.MessageBox(error, Buttons::Ok, BoxKind::Error);
}

void ExchangeCommands::TakeTranslationsCommand() {
  // Only an open project can take translations.
  if (!project_.Commands().SaveProjectAs) return;
  Platform& ui = window_.Ui();
  FileDialogRequest request{kProjectFilter, "", "", true};
  request.Title = view_.Caption(CaptionId::TakeTranslationsTitle);
  const auto path = dialogs_.ChooseToOpen(request);
  if (!path) return;
  ui.ShowStatus(kTakingTranslationsText);
  CarryPlan plan;
  bool changed = false;
  std::string error;
  std::vector<std::string> warnings;
  try {
    PhraseTable oldProject;
    project_.Files().Open(oldProject, *path);
    for (const std::string& line : CarryWarnings(oldProject, *path, project_.Table(), "the open project"))
      warnings.push_back("Warning: " + line);
    plan = PlanCarry(oldProject, project_.Table(), CarryOptions{});
    // The one change of the open project, one undoable step; it raises
    // before changing anything.
    undo_.RunAsUndoStep(kUndoTakeTranslationsLabel,
                        [&] { changed = ApplyCarry(oldProject, project_.Table(), plan); });
  } catch (const std::exception& e) {
    error = e.what();
  }
  ui.HideStatusNow();
  if (!error.empty()) {
    ui.MessageBox(error, Buttons::Ok, BoxKind::Error);
    return;
  }
  if (changed) {
    view_.Grid().RefillGrid();
    window_.Notify(kChangedRows | kChangedCells | kChangedSelection | kChangedMemos | kChangedHeaders);
  }
  ReportTable report =
      TakeTranslationsReport(plan.Counts, std::filesystem::path(*path).filename().string(), view_.Language());
  report.Notes = std::move(warnings);
  ui.ShowReport(report);
}

}  // namespace velmora::ui
