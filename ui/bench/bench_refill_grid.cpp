// RefillGrid on 30,000 phrases: the grid logic alone, the logic with the
// window's model reset and view update, and opening the project file of a
// 64 MB unit with 30,000 phrases in the window up to the first paint. Runs
// offscreen.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "project/file/ProjectFile.h"
#include "ui/logic/shell/ShellController.h"
#include "ui/logic/grid/PhraseGrid.h"
#include "ui/qt/MainForm.h"

namespace {

using namespace velmora;

constexpr int kPhrases = 30000;

// 30,000 phrases of 12 to 40 bytes; every 7th hidden, every 5th edited,
// every 10th edited and ON, every 11th a link record. The unit image is
// padded with zero bytes to imageBytes when that is more than the texts take.
void FillTable(PhraseTable& t, size_t imageBytes = 0) {
  t.Reset();
  t.UnitImage.assign(128 + 4 * kPhrases, 0);
  for (int i = 0; i < kPhrases; ++i) {
    TPhrase p;
    p.LinkAddress = static_cast<uint32_t>(128 + 4 * i);
    if (i % 11 == 10) {
      const TPhrase& m = t.Phrases[static_cast<size_t>(i - 1)];
      p.StringAddress = m.StringAddress;
      p.Length = m.Length;
      p.Flags = pfLink;
      p.MasterIndex = static_cast<int16_t>(i - 1 > 32767 ? 0 : i - 1);
    } else {
      std::string text = "Phrase number " + std::to_string(i) + std::string(static_cast<size_t>(i % 28), 'x');
      p.StringAddress = static_cast<uint32_t>(t.UnitImage.size());
      p.Length = static_cast<uint16_t>(text.size());
      t.UnitImage.insert(t.UnitImage.end(), text.begin(), text.end());
      t.UnitImage.push_back(0);
      if (i % 7 == 0) p.Flags |= pfHide;
      if (i % 5 == 0 && t.EditedTexts.size() < 32767) {
        p.Flags = 0;
        t.EditedTexts.push_back("Edited " + std::to_string(i));
        p.EditIndex = static_cast<int16_t>(t.EditedTexts.size() - 1);
        if (i % 10 == 0) p.Flags |= pfOn;
      }
    }
    t.Phrases.push_back(p);
  }
  while (t.UnitImage.size() % 16) t.UnitImage.push_back(0);
  if (t.UnitImage.size() < imageBytes) t.UnitImage.resize(imageBytes);
  t.Info.UnitSize = t.Info.SourceSize = static_cast<uint32_t>(t.UnitImage.size());
  t.UnitName = "APM";
  t.UnitTag = "BENCH";
  t.StoreNamesInInfo();
}

void BM_RefillGridLogic(benchmark::State& state) {
  PhraseTable t;
  FillTable(t);
  ui::PhraseGrid grid(t);
  grid.SetFilter(static_cast<GridFilter>(state.range(0)));
  grid.RefillGrid();
  grid.SelectCell(grid.RowCount() / 2);
  for (auto _ : state) {
    grid.RefillGrid();
    benchmark::DoNotOptimize(grid.VisibleRows().data());
  }
  state.counters["rows"] = static_cast<double>(grid.VisibleRows().size());
}
BENCHMARK(BM_RefillGridLogic)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

// The window shown with the 30,000 phrases in its grid.
struct ShownWindow {
  PhraseTable table;
  ui::TMainForm form{table, {}};
  ShownWindow() {
    form.show();
    QApplication::processEvents();
    FillTable(table);
    form.Shell().ViewChoices().FilterBtnClick(GridFilter::NoFilter);
    QApplication::processEvents();
  }
};

// The filter command in the shown window: RefillGrid, model reset, header
// and selection update, then the repaint of the visible rows.
void BM_RefillGridInWindow(benchmark::State& state) {
  ShownWindow w;
  ui::TMainForm& form = w.form;
  for (auto _ : state) {
    form.Shell().ViewChoices().FilterBtnClick(GridFilter::NoFilter);
    QApplication::processEvents();
  }
  state.counters["rows"] = static_cast<double>(form.Shell().View().Grid().VisibleRows().size());
}
BENCHMARK(BM_RefillGridInWindow)->Unit(benchmark::kMillisecond);

// Opening the project file of a 64 MB unit with 30,000 phrases in the
// window, up to the painted grid.
void BM_OpenProjectInWindow(benchmark::State& state) {
  QTemporaryDir dir;
  const std::string path = QDir(dir.path()).filePath("Bench.vmprj").toStdString();
  {
    PhraseTable t;
    FillTable(t, size_t{64} << 20);
    SaveProject(t, path);
  }
  PhraseTable t;
  ui::TMainForm form(t, {});
  form.show();
  QApplication::processEvents();
  for (auto _ : state) {
    form.Shell().ProjectFile().OpenProjectFile(path);
    QApplication::processEvents();
  }
  state.counters["rows"] = static_cast<double>(form.Shell().View().Grid().VisibleRows().size());
  state.counters["unit_MB"] = static_cast<double>(t.UnitImage.size()) / (1 << 20);
}
BENCHMARK(BM_OpenProjectInWindow)->Unit(benchmark::kMillisecond);

// A HIDE click with its undo step recorded, in the shown window.
void BM_ToggleWithUndoInWindow(benchmark::State& state) {
  ShownWindow w;
  ui::TMainForm& form = w.form;
  form.Shell().GridEvents().GridSelectCell(2);
  for (auto _ : state) {
    form.Shell().GridEvents().GridMouseDown(ui::kColHide, 2);
    QApplication::processEvents();
  }
  state.counters["steps"] = static_cast<double>(form.Shell().Project().History().Count());
}
BENCHMARK(BM_ToggleWithUndoInWindow)->Unit(benchmark::kMicrosecond);

// Undo and redo of that click: each puts the phrase back, refills the grid
// and repaints.
void BM_UndoRedoInWindow(benchmark::State& state) {
  ShownWindow w;
  ui::TMainForm& form = w.form;
  form.Shell().GridEvents().GridMouseDown(ui::kColHide, 15000);
  QApplication::processEvents();
  for (auto _ : state) {
    form.Shell().Undo().UndoCommand();
    QApplication::processEvents();
    form.Shell().Undo().RedoCommand();
    QApplication::processEvents();
  }
}
BENCHMARK(BM_UndoRedoInWindow)->Unit(benchmark::kMillisecond);

// A whole command as one undoable step: the snapshot of all 30,000 phrases
// and the comparison afterwards (what an import pays besides its own work).
void BM_WholeTableUndoStep(benchmark::State& state) {
  PhraseTable t;
  FillTable(t);
  struct NoDialogs : ui::Platform {
    ui::Answer MessageBox(const std::string&, ui::Buttons, ui::BoxKind) override { return ui::Answer::Ok; }
    std::optional<std::string> OpenFileDialog(const ui::FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::string> SaveFileDialog(const ui::FileDialogRequest&) override { return std::nullopt; }
    size_t ChosenFilter() const override { return 0; }
    void ShowStatus(const std::string&) override {}
    void HideStatusNow() override {}
    void HideStatusLater() override {}
    void ShowStatusLine(const std::string&) override {}
    void ShowStatusNote(const std::string&) override {}
    void Repaint() override {}
    void Beep() override {}
    void SetClipboardText(const ui::ClipboardText&) override {}
    void ShowReport(const ui::ReportTable&) override {}
    bool ShowNewProjectForm(ui::NewProjectForm&) override { return false; }
    bool ShowEditForm(ui::EditForm&, int, int) override { return false; }
    bool ShowCreateForm(ui::CreateForm&) override { return false; }
    bool ShowLoaderUnitsForm(ui::LoaderUnitsForm&) override { return false; }
    std::optional<std::vector<bool>> ResolveConflicts(const std::vector<ui::ConflictRow>&) override { return std::nullopt; }
  } platform;
  ui::ShellController shell(t, platform);
  size_t i = 0;
  for (auto _ : state) {
    shell.Undo().RunAsUndoStep("bench", [&] { t.Phrases[i++ % t.Phrases.size()].Flags ^= pfOn; });
  }
}
BENCHMARK(BM_WholeTableUndoStep)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
