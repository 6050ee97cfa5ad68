// Fuzz targets that read files: each input is written to a scratch file
// with a fixed name in a private temporary folder.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace velmora::fuzz {

// The private folder, made on first use: in memory (/dev/shm) where there
// is one, so that the syncs of saves cost nothing, else under /tmp.
inline const std::string& ScratchDir() {
  // Never destroyed, so that the clean-up at exit can still name it.
  static const std::string* dir = [] {
    for (const char* base : {"/dev/shm", "/tmp"}) {
      std::string tmpl = std::string(base) + "/velmora-fuzz-XXXXXX";
      if (::mkdtemp(tmpl.data()) != nullptr) {
        auto* made = new std::string(tmpl);
        std::atexit([] {
          std::error_code ec;
          std::filesystem::remove_all(ScratchDir(), ec);
        });
        return made;
      }
    }
    std::abort();
  }();
  return *dir;
}

inline std::string ScratchPath(const std::string& fileName) { return ScratchDir() + "/" + fileName; }

// Writes the bytes to <private folder>/fileName and returns its path.
inline std::string WriteInputFile(const std::string& fileName, const uint8_t* data, size_t size) {
  const std::string path = ScratchPath(fileName);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, f) != size) std::abort();
  std::fclose(f);
  return path;
}

}  // namespace velmora::fuzz
