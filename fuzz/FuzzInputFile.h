// Fuzz targets that read files: each input is written to one scratch file
// with a fixed name in a private temporary folder.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace velmora::fuzz {

// Writes the input to <private folder>/fileName and returns its path.
inline const std::string& WriteInputFile(const char* fileName, const uint8_t* data, size_t size) {
  static const std::string dir = [] {
    char tmpl[] = "/tmp/velmora-fuzz-XXXXXX";
    const char* made = ::mkdtemp(tmpl);
    if (made == nullptr) std::abort();
    return std::string(made);
  }();
  static std::string path;
  path = dir + "/" + fileName;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
  return path;
}

}  // namespace velmora::fuzz
