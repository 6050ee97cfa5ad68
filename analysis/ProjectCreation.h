// Creating a project from one loading unit: from a .BIN file or from a unit
// of the "AISIN-AW" maker entry of a LOADING.KWI. Both the desktop dialog
// and the command line call these.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/AnalyseUnit.h"
#include "analysis/PhraseTable.h"
#include "container/kiwi/KiwiPrimitives.h"
#include "container/kiwi/Loading.h"

namespace velmora {

inline constexpr const char* kNoAisinModuleMessage = "A suitable AISIN module is not detected !";

// A loader or a choice in it that cannot give a unit (no "AISIN-AW" entry
// with a module, a module or unit position that does not exist, a unit
// without a position). The message is the one the user sees.
class EProjectCreationError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct CreationResult {
  AnalysisResult Analysis;      // Completed false: a question was declined
  std::string SuggestedBinName; // the suggested name for "Save .BIN file As"
};

// ---- The .BIN flow ----

// The unit name of a .BIN file: its name without folder, up to its first dot.
std::string UnitNameFromBinPath(std::string_view path);

// Makes a project of the unit that fills the .BIN file at binPath:
// MakerIndex, ModuleIndex and UnitIndex -1, UnitOffset 0, SourceSize the
// file's size (at most FFFFFFFF hex), analysis from position 0, UnitName from
// the file name, SourcePath empty. The suggested output name is binPath.
CreationResult CreateProjectFromBin(PhraseTable& table, const std::string& binPath, const AnalysisOptions& options,
                                    const AskYesNo& ask);

// ---- The LOADING.KWI flow ----

// Positions, in directory order, of the maker entries named "AISIN-AW" that
// have at least one module.
std::vector<int> AisinMakerIndices(const TLN_Loading& loading);
// The first of them; raises EProjectCreationError with kNoAisinModuleMessage
// when there is none (an invalid loader has no maker entries at all).
int FirstAisinMaker(const TLN_Loading& loading);

// The dialog's lists: module names of a maker entry, unit names of one of
// its modules (empty for a module without units). Out-of-range positions
// give empty lists.
std::vector<std::string> ModuleNames(const TLN_Loading& loading, int makerIndex);
std::vector<std::string> UnitNames(const TLN_Loading& loading, int makerIndex, int moduleIndex);

// Makes a project of one unit of a loader. makerIndex -1 takes the first
// "AISIN-AW" entry with modules; unitIndex -1 takes the unit PreselectUnit
// chooses. MakerIndex, ModuleIndex, UnitIndex, UnitOffset and SourceSize come
// from the directory, UnitName from the unit list, SourcePath is the
// loader's path; the suggested output name is UnitTitle() + ".BIN". When the maker question is declined the table and its ProjectInfo
// are left exactly as they were; when the checksum question is declined the
// table is left empty (no project).
CreationResult CreateProjectFromLoader(PhraseTable& table, const TLN_Loading& loading, int makerIndex,
                                       int moduleIndex, int unitIndex, const AnalysisOptions& options,
                                       const AskYesNo& ask);
// The same, reading the directory of the loader at loaderPath first.
CreationResult CreateProjectFromLoader(PhraseTable& table, const std::string& loaderPath, int makerIndex,
                                       int moduleIndex, int unitIndex, const AnalysisOptions& options,
                                       const AskYesNo& ask);

// The unit selected when a module's units are listed: the last unit named
// exactly "APM", else the first, -1 for an empty list.
int PreselectUnit(const std::vector<std::string>& names);

}  // namespace velmora
