// A temporary folder for the files a benchmark writes, removed with it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace velmora::bench {

struct TempDir {
  std::string path;
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "velmora-bench-XXXXXX").string();
    path = ::mkdtemp(tmpl.data()) ? tmpl : std::string(".");
  }
  ~TempDir() {
    std::error_code ec;
    if (path != ".") std::filesystem::remove_all(path, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  std::string File(const std::string& name) const { return path + "/" + name; }
};

inline double FileMegabytes(const std::string& path) {
  return static_cast<double>(std::filesystem::file_size(path)) / (1 << 20);
}

}  // namespace velmora::bench
