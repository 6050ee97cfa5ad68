// What the window's command line names: all arguments joined with single
// blanks are one path (a path with blanks may arrive in pieces).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "analysis/SourceKind.h"

namespace velmora::ui {

// The project path named by the command line: the joined arguments, when
// they name an existing file whose extension (from the last dot of the file
// name on) is exactly ".vmprj".
std::optional<std::string> CommandLineProject(const std::vector<std::string>& args);

// A loader or unit file named by the command line ("Open with" from a file
// manager): the joined arguments name an existing file called LOADING.KWI,
// or one whose name ends in .BIN, in any case of letters.
struct SourceFile {
  SourceKind Kind;
  std::string Path;
  bool operator==(const SourceFile&) const = default;
};
std::optional<SourceFile> CommandLineSource(const std::vector<std::string>& args);

}  // namespace velmora::ui
