// Helpers shared by the test programs: a temporary folder and a runner for
// the velmora-cli binary.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmora::test {

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
void WriteFile(const std::string& path, const std::string& bytes);
std::vector<uint8_t> ReadFile(const std::string& path);

struct CliResult {
  int exitCode = -1;       // -1 when the program ended by a signal
  int signal = 0;
  std::string out;
  std::string err;
};

// Runs velmora-cli with the given arguments (no shell involved).
CliResult RunCli(const std::vector<std::string>& args);

// Where velmora-cli's standard streams lead.
struct CliStreams {
  std::string input;         // standard input: these bytes, then its end
  std::string outputPath;    // standard output into this file ("" captures it)
  bool closedPipe = false;   // standard output into a pipe nobody reads
};
CliResult RunCli(const std::vector<std::string>& args, const CliStreams& streams);

}  // namespace velmora::test
