// The loader rebuild: a new LOADING.KWI that carries the translated unit of
// the open project. The source loader the project was made from serves as a
// template and is only read: the new loader holds one maker entry with one
// module (the translated unit's), every other unit of that module copied
// byte for byte, and the translated unit as the BIN builder writes it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/PhraseTable.h"
#include "container/Loading.h"
#include "project/BinBuilder.h"

namespace velmora {

inline constexpr std::string_view kCreatingLoaderText = "Creating LOADING.KWI file. Please wait ...";
inline constexpr std::string_view kLoaderCompleteText = "The creation of the file LOADING.KWI is complete.";

// The tests a source loader must pass, in the order they are made; the
// result names the first that failed.
enum class SourceCheck {
  Suitable,
  NoFile,         // no file at the path (or it cannot be opened)
  NoMaker,        // no "AISIN-AW" maker entry at MakerIndex
  NoUnit,         // no module at ModuleIndex or no unit at UnitIndex
  NameOrOffset,   // the unit's name or offset differs from the project's
  TagOrChecksum,  // the unit header's tag or checksum differs
};

// A short English description of a failed test.
const char* SourceCheckText(SourceCheck check);

SourceCheck CheckSource(const PhraseTable& table, const std::string& path);
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

// Position in a loader of the 64-byte name record of a module: after the
// maker records, the name and module records of every earlier maker entry,
// and the name records of the earlier modules of its own entry.
int64_t ModuleNameRecordPosition(const TLN_Loading& dir, size_t makerIndex, size_t moduleIndex);

// Writes the new loader to outputPath (through a temporary file renamed
// into place) from the source loader at sourcePath, and returns its size.
// An output that names the source is refused before anything is written
// (EFCreateError). A source that does not hold the project's module and
// unit, or whose units reach past its end, raises EFormatError. Status
// texts: the "creating" text once the work starts, then the completion
// text whether or not it succeeded.
int64_t RebuildLoader(const PhraseTable& table, const std::string& sourcePath, const std::string& outputPath,
                      const StatusCallback& status = {});

}  // namespace velmora
