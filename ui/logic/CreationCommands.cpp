#include "ui/logic/CreationCommands.h"

#include <algorithm>
#include <optional>

#include "analysis/ModuleUnits.h"
#include "container/io/Stream.h"
#include "container/kiwi/Loading.h"
#include "ui/logic/CommandLine.h"
#include "ui/logic/WindowTitle.h"

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
  if (!projectFiles_.ConfirmUnsavedWork(NextStep::CreateProject)) return;
  const auto path = state_.ChooseFileToOpen({kLoaderFilter, "", ""});
  if (path) OpenLoaderFile(*path);
}

void CreationCommands::OpenBinFileCommand() {
  if (!projectFiles_.ConfirmUnsavedWork(NextStep::CreateProject)) return;
  const auto path = state_.ChooseFileToOpen({kBinFilter, "", kDefaultBinName});
  if (path) OpenBinFile(*path);
}

void CreationCommands::OpenLoaderFile(const std::string& path) {
  Create(path, [&] { return std::make_unique<LoaderSource>(path, state_.NewProject()); });
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
  Platform& ui = state_.Ui();
  const std::string previousTitle = state_.WindowTitle();
  state_.SetTitle(kApplicationTitle);
  ui.ShowStatus(kCreatingProjectText);

  const bool ok = state_.Guard([&] {
    const std::unique_ptr<ProjectSource> source = open();
    if (source->Offers() == 0) {
      // Only a loader offers nothing: it has no "AISIN-AW" entry with modules.
      ui.MessageBox(kNoAisinModuleMessage, Buttons::Ok, BoxKind::Information);
      ui.HideStatusNow();
      return;
    }
    NewProjectForm& form = state_.NewProject();
    for (size_t offer = 0; offer < source->Offers(); ++offer) {
      source->Prepare(offer, form);
      form.FormShow();
      if (!ui.ShowNewProjectForm(form)) {
        ui.HideStatusNow();
        continue;
      }
      ui.ShowStatus(kCreatingProjectWaitText);
      CreationResult result;
      try {
        result = source->Create(offer, state_.Table(), form, [this](const std::string& q) { return state_.Ask(q); });
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
  if (state_.ProjectOpen() && state_.WindowTitle() == kApplicationTitle) state_.SetTitle(previousTitle);
  if (ok) state_.FilterBtnClick(GridFilter::NoFilter);
}

void CreationCommands::AfterCreationError() {
  // An analysis that failed leaves no project: the grid must not keep rows
  // of the table that is gone.
  if (!state_.ProjectOpen()) state_.ResetFlags();
  state_.Notify(kChangedAll);
}

void CreationCommands::FinishCreation(const CreationResult& result, const std::string& path) {
  // As after opening a project: the bytes of a loader on a disc that may be
  // taken out must stay with the window.
  state_.Table().UnitImage.TakePrivateCopy();
  if (!result.Analysis.Completed) {
    // A declined maker question leaves the earlier project; a declined
    // checksum question leaves none.
    if (result.Analysis.TableReset) state_.ResetFlags();
    state_.Ui().HideStatusNow();
    state_.Notify(kChangedAll);
    return;
  }
  state_.ResetFlags();
  state_.SetCreationPath(path);
  // The extraction chose the code page; it takes effect as a menu choice.
  state_.CodePageMenuItemClick(static_cast<int>(DisplayCodePageFor(result.Analysis.Mode)));
  state_.Grid().RefillGrid();
  state_.ShowProject(path, result.SuggestedBinName);
  if (result.Analysis.StoppedAtRecordLimit) state_.Ui().ShowStatus(kRecordLimitText);
  state_.Ui().HideStatusLater();
  state_.Notify(kChangedAll);
}

}  // namespace velmora::ui
