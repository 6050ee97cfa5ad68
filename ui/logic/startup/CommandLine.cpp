#include "ui/logic/startup/CommandLine.h"

#include "container/io/Stream.h"

namespace velmora::ui {

namespace {

std::string JoinArguments(const std::vector<std::string>& args) {
  std::string path;
  for (size_t i = 0; i < args.size(); ++i) {
    if (i > 0) path += ' ';
    path += args[i];
  }
  return path;
}

}  // namespace

std::optional<std::string> CommandLineProject(const std::vector<std::string>& args) {
  if (args.empty()) return std::nullopt;
  const std::string path = JoinArguments(args);
  // The extension is taken from the file name only, not from a folder's.
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::nullopt;
  if (path.compare(dot, std::string::npos, ".vmprj") != 0) return std::nullopt;
  if (!FileExists(path)) return std::nullopt;
  return path;
}

std::optional<SourceFile> CommandLineSource(const std::vector<std::string>& args) {
  if (args.empty()) return std::nullopt;
  const std::string path = JoinArguments(args);
  // Only a file named as a loader or a unit: the window does not guess.
  const auto kind = SourceKindByName(path);
  if (!kind || !FileExists(path)) return std::nullopt;
  return SourceFile{*kind, path};
}

}  // namespace velmora::ui
