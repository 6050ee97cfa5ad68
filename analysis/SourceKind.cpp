#include "analysis/SourceKind.h"

#include "container/kiwi/Loading.h"

namespace velmora {

namespace {

std::string UpperFileName(const std::string& path) {
  std::string name = path.substr(path.find_last_of('/') + 1);
  for (char& c : name)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return name;
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

std::optional<SourceKind> SourceKindByName(const std::string& path) {
  const std::string name = UpperFileName(path);
  if (name == "LOADING.KWI") return SourceKind::Loader;
  if (name.size() > 4 && EndsWith(name, ".BIN")) return SourceKind::Unit;
  return std::nullopt;
}

SourceKind DetectSourceKind(const std::string& path) {
  if (const auto kind = SourceKindByName(path)) return *kind;
  return TLN_Loading(path).Valid ? SourceKind::Loader : SourceKind::Unit;
}

}  // namespace velmora
