#include "ui/logic/CommandLine.h"

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

std::string UpperFileName(const std::string& path) {
  std::string name = path.substr(path.find_last_of('/') + 1);
  for (char& c : name)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return name;
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
  const std::string name = UpperFileName(path);
  SourceKind kind;
  if (name == "LOADING.KWI")
    kind = SourceKind::Loader;
  else if (name.size() > 4 && name.compare(name.size() - 4, 4, ".BIN") == 0)
    kind = SourceKind::Bin;
  else
    return std::nullopt;
  if (!FileExists(path)) return std::nullopt;
  return SourceFile{kind, path};
}

}  // namespace velmora::ui
