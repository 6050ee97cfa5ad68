// Which loader a project's LOADING.KWI is built from: the loader its unit
// came from, recognised by the unit's maker entry, module and unit
// positions, its name and offset, and its header's tag and checksum.
#pragma once

#include <string>
#include <vector>

#include "analysis/PhraseTable.h"
#include "container/kiwi/LoaderRebuild.h"

namespace velmora {

// The tests a source loader must pass, in the order they are made; the
// result names the first that failed.
enum class SourceCheck {
  Suitable,
  NoFile,         // no file at the path
  NotAFile,       // a folder, FIFO or device at the path
  Unreadable,     // a file that cannot be opened or read
  NoMaker,        // no "AISIN-AW" maker entry at MakerIndex
  NoUnit,         // no module at ModuleIndex or no unit at UnitIndex
  NameOrOffset,   // the unit's name or offset differs from the project's
  TagOrChecksum,  // the unit header's tag or checksum differs
};

// A short English description of a failed test.
const char* SourceCheckText(SourceCheck check);

SourceCheck CheckSource(const PhraseTable& table, const std::string& path);
// The same against a directory already read; the header is read from the
// directory's file. Raises the stream errors of a file that cannot be read.
SourceCheck CheckSourceIn(const PhraseTable& table, const TLN_Loading& dir);
// True when the loader at path is the one the project's unit came from.
bool IsSourceSuitable(const PhraseTable& table, const std::string& path);

// The source loader a rebuild takes: the project's own SourcePath when it is
// suitable, otherwise `given` (when not empty) when it is. Path is empty when
// neither serves; Rejected lists each path tried with the reason it failed.
struct SourceSearch {
  std::string Path;
  std::vector<std::string> Rejected;  // "path (reason)"
};
SourceSearch FindSourceLoader(const PhraseTable& table, const std::string& given);

// The project's module in its source loader.
inline LoaderModuleRef ProjectModule(const PhraseTable& table) {
  return {table.Info.MakerIndex, table.Info.ModuleIndex};
}

}  // namespace velmora
