#include "ui/logic/commands/CreationCommands.h"

#include <algorithm>
#include <optional>

#include "analysis/ModuleUnits.h"
#include "container/io/Stream.h"
#include "container/kiwi/Loading.h"
#include "ui/logic/startup/CommandLine.h"
#include "ui/logic/state/ResetProject.h"
#include "ui/logic/state/WindowTitle.h"

namespace velmora::ui {

namespace {

// A .BIN file: one unit, which fills the file.
class BinSource : public ProjectSource {
 public:
  explicit BinSource(const std::string& path) : path_(path), file_(path, TFileStream::Mode::OpenRead) {}

  size_t Offers() const override { return 1; }
  void Prepare(size_t, NewProjectForm& form) override {
    form.PrepareForBin(static_cast<uint32_t>(std::min<int64_t>(file_.Size(), 0xFFFFFFFF)));
  }
  CreationResult Create(size_t, PhraseTable& table, const NewProjectForm& form, const AskYesNo& ask) override {
    return CreateProjectFromBin(table, path_, form.Options(), ask);
  }

 private:
  std::string path_;
  TFileStream file_;
};

// A LOADING.KWI: the units of the modules of its "AISIN-AW" entries.
class LoaderSource : public ProjectSource {
 public:
  LoaderSource(const std::string& path, NewProjectForm& form) : loading_(path) {
    form.PrepareForLoader();
    makers_ = AisinMakerIndices(loading_);
  }

  size_t Offers() const override { return makers_.size(); }
  void Prepare(size_t offer, NewProjectForm& form) override {
    form.PrepareForLoader();
    for (const TLN_Module_Info& module : loading_.Frame.Makers[static_cast<size_t>(makers_[offer])].Modules) {
      std::vector<UnitChoice> units;
      for (const TLN_Unit_Info& unit : module.Units) units.push_back({unit.Name, unit.Size});
      // An empty unit list says why it is empty, in the words the project
      // creation would raise.
      form.AddModule(module.Name, std::move(units), NoUnitsReason(loading_, module));
    }
    form.ModuleChange(0);
    file_.reset();
    file_.emplace(loading_.FileName, TFileStream::Mode::OpenRead);
  }
  CreationResult Create(size_t offer, PhraseTable& table, const NewProjectForm& form, const AskYesNo& ask) override {
    return CreateProjectFromLoader(table, loading_, makers_[offer], form.ChosenModule(), form.ChosenUnit(),
                                   form.Options(), ask);
  }

 private:
  const TLN_Loading loading_;
  std::vector<int> makers_;
  std::optional<TFileStream> file_;
};

}  // namespace

void CreationCommands::OpenFileCommand() {
  if (!projectFile_.ConfirmUnsavedWork(NextStep::CreateProject)) return;
  const auto path = dialogs_.ChooseToOpen({kLoaderFilter, "", ""});
  if (path) OpenLoaderFile(*path);
}

void CreationCommands::OpenBinFileCommand() {
  if (!projectFile_.ConfirmUnsavedWork(NextStep::CreateProject)) return;
  const auto path = dialogs_.ChooseToOpen({kBinFilter, "", kDefaultBinName});
  if (path) OpenBinFile(*path);
}

void CreationCommands::OpenLoaderFile(const std::string& path) {
  Create(path, [&] { return std::make_unique<LoaderSource>(path, form_); });
}

void CreationCommands::OpenBinFile(const std::string& path) {
  Create(path, [&] { return std::make_unique<BinSource>(path); });
}

void CreationCommands::OpenCommandLineSource(const std::vector<std::string>& args) {
  const auto source = CommandLineSource(args);
  if (!source) return;
  if (source->Kind == SourceKind::Loader)
    OpenLoaderFile(source->Path);
  else
    OpenBinFile(source->Path);
}

void CreationCommands::Create(const std::string& path, const std::function<std::unique_ptr<ProjectSource>()>& open) {
  Platform& ui = window_.Ui();
  const std::string previousTitle = project_.WindowTitle();
  window_.Notify(project_.SetTitle(kApplicationTitle));
  ui.ShowStatus(kCreatingProjectText);

  const bool ok = window_.Guard([&] {
    const std::unique_ptr<ProjectSource> source = open();
    if (source->Offers() == 0) {
      // Only a loader offers nothing: it has no "AISIN-AW" entry with modules.
      ui.MessageBox(kNoAisinModuleMessage, Buttons::Ok, BoxKind::Information);
      ui.HideStatusNow();
      return;
    }
    for (size_t offer = 0; offer < source->Offers(); ++offer) {
      source->Prepare(offer, form_);
      if (!ui.ShowNewProjectForm(form_)) {
        ui.HideStatusNow();
        continue;
      }
      ui.ShowStatus(kCreatingProjectWaitText);
      CreationResult result;
      try {
        result = source->Create(offer, project_.Table(), form_, [this](const std::string& q) { return window_.Ask(q); });
      } catch (...) {
        AfterCreationError();
        throw;
      }
      FinishCreation(result, path);
      break;
    }
  });
  // With the earlier project still open, its title comes back; without a
  // project the window shows none.
  if (project_.IsOpen() && project_.WindowTitle() == kApplicationTitle)
    window_.Notify(project_.SetTitle(previousTitle));
  if (ok) window_.Notify(view_.ShowFilter(GridFilter::NoFilter));
}

void CreationCommands::AfterCreationError() {
  // An analysis that failed leaves no project: the grid must not keep rows
  // of the table that is gone.
  if (!project_.IsOpen()) window_.Notify(ResetFlags(project_, view_));
  window_.Notify(kChangedAll);
}

void CreationCommands::FinishCreation(const CreationResult& result, const std::string& path) {
  // As after opening a project: the bytes of a loader on a disc that may be
  // taken out must stay with the window.
  project_.Table().UnitImage.TakePrivateCopy();
  if (!result.Analysis.Completed) {
    // A declined maker question leaves the earlier project; a declined
    // checksum question leaves none.
    if (result.Analysis.TableReset) window_.Notify(ResetFlags(project_, view_));
    window_.Ui().HideStatusNow();
    window_.Notify(kChangedAll);
    return;
  }
  window_.Notify(ResetFlags(project_, view_));
  project_.SetCreationPath(path);
  // The extraction chose the code page; it takes effect as a menu choice.
  window_.Notify(view_.ChooseCodePage(DisplayCodePageFor(result.Analysis.Mode)));
  view_.Grid().RefillGrid();
  window_.Notify(project_.Show(path, result.SuggestedBinName));
  if (result.Analysis.StoppedAtRecordLimit) window_.Ui().ShowStatus(kRecordLimitText);
  window_.Ui().HideStatusLater();
  window_.Notify(kChangedAll);
}

}  // namespace velmora::ui
