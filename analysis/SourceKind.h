// Whether a file is a loader (LOADING.KWI) or one loading unit (.BIN). The
// command line's `info` and `new` and the window decide it by the same rule.
#pragma once

#include <optional>
#include <string>

namespace velmora {

enum class SourceKind { Loader, Unit };

// By the file name alone, in any case of letters: "LOADING.KWI" is a
// loader, a name ending in ".BIN" is a unit; any other name says nothing.
std::optional<SourceKind> SourceKindByName(const std::string& path);

// By the name, and for any other name by the content: a file whose loader
// directory reads as valid is a loader, anything else is read as a unit.
// A file that cannot be opened raises the open error.
SourceKind DetectSourceKind(const std::string& path);

}  // namespace velmora
