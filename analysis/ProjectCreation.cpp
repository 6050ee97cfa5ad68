#include "analysis/ProjectCreation.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "analysis/ModuleUnits.h"
#include "container/io/Stream.h"
#include "container/io/TLN_FileStream.h"

namespace velmora {

namespace {

// Ends a creation flow: on a declined maker question the earlier project
// stays open with its own ProjectInfo; on a declined checksum question no
// project is left (the new unit's image is dropped too).
void FinishDeclined(PhraseTable& table, const AnalysisResult& r, const ProjectInfo& before) {
  if (!r.TableReset) {
    table.Info = before;
  } else {
    table.Reset();
  }
}

template <typename F>
AnalysisResult RunAnalysis(PhraseTable& table, const ProjectInfo& before, F&& analyse) {
  AnalysisResult r;
  try {
    r = analyse();
  } catch (...) {
    // A stream error ends the flow with no project open.
    table.Reset();
    throw;
  }
  if (!r.Completed) FinishDeclined(table, r, before);
  return r;
}

const TLN_System_Identification_Info* MakerAt(const TLN_Loading& loading, int makerIndex) {
  if (makerIndex < 0 || static_cast<size_t>(makerIndex) >= loading.Frame.Makers.size()) return nullptr;
  return &loading.Frame.Makers[static_cast<size_t>(makerIndex)];
}

const TLN_Module_Info* ModuleAt(const TLN_Loading& loading, int makerIndex, int moduleIndex) {
  const auto* maker = MakerAt(loading, makerIndex);
  if (!maker || moduleIndex < 0 || static_cast<size_t>(moduleIndex) >= maker->Modules.size()) return nullptr;
  return &maker->Modules[static_cast<size_t>(moduleIndex)];
}

}  // namespace

std::string UnitNameFromBinPath(std::string_view path) {
  const auto slash = path.find_last_of('/');
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const auto dot = name.find('.');
  return std::string(name.substr(0, dot));
}

CreationResult CreateProjectFromBin(PhraseTable& table, const std::string& binPath, const AnalysisOptions& options,
                                    const AskYesNo& ask) {
  TFileStream file(binPath, TFileStream::Mode::OpenRead);
  const int64_t size = file.Size();
  const ProjectInfo before = table.Info;

  table.Info.MakerIndex = -1;
  table.Info.ModuleIndex = -1;
  table.Info.UnitIndex = -1;
  table.Info.UnitOffset = 0;
  table.Info.SourceSize = static_cast<uint32_t>(std::min<int64_t>(size, std::numeric_limits<uint32_t>::max()));

  CreationResult result;
  result.Analysis = RunAnalysis(table, before, [&] { return AnalyseUnit(table, file, 0, options, ask); });
  if (!result.Analysis.Completed) return result;

  table.UnitName = UnitNameFromBinPath(binPath);
  table.SourcePath.clear();
  result.SuggestedBinName = binPath;
  return result;
}

std::vector<int> AisinMakerIndices(const TLN_Loading& loading) {
  std::vector<int> out;
  for (size_t i = 0; i < loading.Frame.Makers.size(); ++i) {
    const auto& m = loading.Frame.Makers[i];
    if (m.MakerName == kAisinMakerName && !m.Modules.empty()) out.push_back(static_cast<int>(i));
  }
  return out;
}

int FirstAisinMaker(const TLN_Loading& loading) {
  const auto all = AisinMakerIndices(loading);
  if (all.empty()) throw EProjectCreationError(kNoAisinModuleMessage);
  return all.front();
}

std::vector<std::string> ModuleNames(const TLN_Loading& loading, int makerIndex) {
  std::vector<std::string> out;
  if (const auto* maker = MakerAt(loading, makerIndex))
    for (const auto& m : maker->Modules) out.push_back(m.Name);
  return out;
}

std::vector<std::string> UnitNames(const TLN_Loading& loading, int makerIndex, int moduleIndex) {
  std::vector<std::string> out;
  if (const auto* module = ModuleAt(loading, makerIndex, moduleIndex))
    for (const auto& u : module->Units) out.push_back(u.Name);
  return out;
}

CreationResult CreateProjectFromLoader(PhraseTable& table, const TLN_Loading& loading, int makerIndex,
                                       int moduleIndex, int unitIndex, const AnalysisOptions& options,
                                       const AskYesNo& ask) {
  if (makerIndex < 0) makerIndex = FirstAisinMaker(loading);
  const auto* maker = MakerAt(loading, makerIndex);
  if (!maker || maker->MakerName != kAisinMakerName || maker->Modules.empty())
    throw EProjectCreationError(kNoAisinModuleMessage);

  if (moduleIndex < 0) moduleIndex = 0;
  const auto* module = ModuleAt(loading, makerIndex, moduleIndex);
  if (!module)
    throw EProjectCreationError("The \"AISIN-AW\" entry has no module " + std::to_string(moduleIndex) + ".");
  RequireUnits(loading, *module);

  if (unitIndex < 0) unitIndex = PreselectUnit(UnitNames(loading, makerIndex, moduleIndex));
  if (static_cast<size_t>(unitIndex) >= module->Units.size())
    throw EProjectCreationError("The module \"" + module->Name + "\" has no unit " + std::to_string(unitIndex) + ".");
  const TLN_Unit_Info& unit = module->Units[static_cast<size_t>(unitIndex)];
  if (unit.Offset == 0xFFFFFFFFu)
    throw EProjectCreationError("The unit \"" + unit.Name + "\" has no position in the loader.");

  // Through the KIWI stream, as the directory was read: a unit of a volume
  // set may lie in any volume, or across two.
  TLN_FileStream file(loading.FileName);
  const ProjectInfo before = table.Info;
  table.Info.MakerIndex = makerIndex;
  table.Info.ModuleIndex = moduleIndex;
  table.Info.UnitIndex = unitIndex;
  table.Info.UnitOffset = unit.Offset;
  table.Info.SourceSize = unit.Size;

  CreationResult result;
  result.Analysis = RunAnalysis(table, before, [&] { return AnalyseUnit(table, file, unit.Offset, options, ask); });
  if (!result.Analysis.Completed) return result;

  table.UnitName = unit.Name;
  table.SourcePath = loading.FileName;
  result.SuggestedBinName = table.UnitTitle() + ".BIN";
  return result;
}

CreationResult CreateProjectFromLoader(PhraseTable& table, const std::string& loaderPath, int makerIndex,
                                       int moduleIndex, int unitIndex, const AnalysisOptions& options,
                                       const AskYesNo& ask) {
  const TLN_Loading loading(loaderPath);
  return CreateProjectFromLoader(table, loading, makerIndex, moduleIndex, unitIndex, options, ask);
}

int PreselectUnit(const std::vector<std::string>& names) {
  int selected = -1;
  for (size_t i = 0; i < names.size(); ++i)
    if (names[i] == "APM") selected = static_cast<int>(i);
  if (selected < 0 && !names.empty()) selected = 0;
  return selected;
}

}  // namespace velmora
