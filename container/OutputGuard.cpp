#include "container/OutputGuard.h"

#include <filesystem>
#include <system_error>

#include "container/Stream.h"
#include "container/StreamErrors.h"

namespace velmora {

namespace {

std::string NormalisedAbsolute(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  fs::path p = fs::absolute(fs::path(path), ec);
  if (ec) return fs::path(path).lexically_normal().string();
  fs::path canonical = fs::weakly_canonical(p, ec);
  return (ec ? p : canonical).lexically_normal().string();
}

}  // namespace

bool NamesSameFile(const std::string& a, const std::string& b) {
  if (SameFile(a, b)) return true;
  return NormalisedAbsolute(a) == NormalisedAbsolute(b);
}

void RefuseOutputOverInputs(const std::string& output, const std::vector<std::string>& inputs) {
  for (const auto& input : inputs) {
    if (input.empty()) continue;
    if (NamesSameFile(input, output))
      throw EFCreateError(output, "It is an input of this command (" + input +
                                      "), which is only read; choose another file.");
  }
}

}  // namespace velmora
