// Helpers shared by the test programs: a temporary folder, a runner for
// the velmora-cli binary and a locale set for one test.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
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

// Sets the locale variables (LC_ALL, LC_MESSAGES, LC_CTYPE, LANG) for as long
// as it lives: the ones given, the others unset; then puts the earlier
// values back. Programs that RunCli starts inherit them.
class ScopedLocale {
 public:
  explicit ScopedLocale(const std::map<std::string, std::string>& values);
  ScopedLocale(const std::string& name, const std::string& value)
      : ScopedLocale(std::map<std::string, std::string>{{name, value}}) {}
  ~ScopedLocale();
  ScopedLocale(const ScopedLocale&) = delete;
  ScopedLocale& operator=(const ScopedLocale&) = delete;

 private:
  std::map<std::string, std::optional<std::string>> saved_;
};
// Where velmora-cli's standard streams lead.
struct CliStreams {
  std::string input;         // standard input: these bytes, then its end
  std::string outputPath;    // standard output into this file ("" captures it)
  bool closedPipe = false;   // standard output into a pipe nobody reads
  std::string errorPath;     // standard error into this file, which others may
                             // read while the program runs; captured either way
};
CliResult RunCli(const std::vector<std::string>& args, const CliStreams& streams);

// Sets one environment variable for as long as it lives, then puts the
// earlier value back. Programs that RunCli starts inherit it.
class ScopedVariable {
 public:
  ScopedVariable(const std::string& name, const std::string& value);
  ~ScopedVariable();
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  std::string name_;
  std::optional<std::string> saved_;
};

// A handshake with another thread or program: true as soon as done() holds,
// false when it still does not after a minute.
bool WaitUntil(const std::function<bool()>& done);

// The bytes of the file at path, empty when there is none.
std::string FileText(const std::string& path);

// A program's output split at its line feeds; a last line without one
// counts too, the empty rest after a final line feed does not.
std::vector<std::string> OutputLines(const std::string& text);

}  // namespace velmora::test
