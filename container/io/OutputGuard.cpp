#include "container/io/OutputGuard.h"

#include <filesystem>
#include <system_error>

#include "container/io/AtomicFile.h"
#include "container/io/Stream.h"
#include "container/io/StreamErrors.h"
#include "container/io/TLN_FileStream.h"

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
  // A link to a file that does not exist yet names the file it would create.
  auto resolved = [](const std::string& p) {
    try {
      return ResolveSymlinks(p);
    } catch (const EStreamError&) {
      return p;  // a link loop names no file
    }
  };
  return NormalisedAbsolute(resolved(a)) == NormalisedAbsolute(resolved(b));
}

void RefuseOutputOverInput(const std::string& output, const std::string& input, const std::string& what) {
  if (input.empty()) return;
  std::vector<std::string> files = VolumeFilesOf(input);
  if (files.empty()) files.push_back(input);
  for (const auto& file : files) {
    if (NamesSameFile(file, output))
      throw EFCreateError(output, "It is " + what + " (" + file + "), which is only read; choose another file.");
  }
}

void RefuseOutputOverInputs(const std::string& output, const std::vector<std::string>& inputs) {
  for (const auto& input : inputs) RefuseOutputOverInput(output, input, "an input of this command");
}

}  // namespace velmora
