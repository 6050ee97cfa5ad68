// Fuzz targets that read files: each input is written to a scratch file
// with a fixed name in a private temporary folder.
#pragma once

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace velmora::fuzz {

// Removes the scratch folders under base whose process is gone: libFuzzer
// ends a timed run with _Exit, so their clean-up at exit never ran.
inline void RemoveStaleScratchDirs(const std::string& base) {
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(base, ec)) {
    const std::string name = e.path().filename().string();
    if (name.rfind("velmora-fuzz-", 0) != 0) continue;
    const long pid = std::strtol(name.c_str() + 13, nullptr, 10);
    if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) std::filesystem::remove_all(e.path(), ec);
  }
}

// The private folder, made on first use: in memory (/dev/shm) where there
// is one, so that the syncs of saves cost nothing, else under /tmp. Its
// name carries the process id.
inline const std::string& ScratchDir() {
  // Never destroyed, so that the clean-up at exit can still name it.
  static const std::string* dir = [] {
    for (const char* base : {"/dev/shm", "/tmp"}) {
      RemoveStaleScratchDirs(base);
      std::string tmpl = std::string(base) + "/velmora-fuzz-" + std::to_string(::getpid()) + "-XXXXXX";
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
