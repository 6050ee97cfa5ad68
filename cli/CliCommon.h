// The command registry and shared helpers of velmora-cli. Each subcommand
// lives in its own file and registers itself with a static CommandRegistrar.
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "project/text/CodePages.h"

namespace velmora::cli {

// Exit codes.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;  // the file or the work failed
constexpr int kExitUsage = 2;    // the command line was wrong
constexpr int kExitNothingApplied = 3;  // import: nothing applied, some entries refused

// Raised for a wrong command line; main prints it with the usage hint.
class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Command {
  std::string Name;
  std::string Summary;  // one line for the overview
  std::string Usage;    // the full --help text
  // Receives the arguments after the command's name.
  std::function<int(const std::vector<std::string>&)> Run;
};

std::vector<Command>& Registry();

struct CommandRegistrar {
  explicit CommandRegistrar(Command c) { Registry().push_back(std::move(c)); }
};

// A small option parser: flags, options with a value, positionals.
class ArgParser {
 public:
  // valueOptions take a value ("-o FILE", "--mode=english" or "--mode english").
  ArgParser(const std::vector<std::string>& args, std::vector<std::string> valueOptions,
            std::vector<std::string> flagOptions);
  bool Has(const std::string& name) const;
  std::optional<std::string> Value(const std::string& name) const;
  const std::vector<std::string>& Positionals() const { return positionals_; }
  // Options given more than once (e.g. repeated indices) in order.
  std::vector<std::string> Values(const std::string& name) const;

 private:
  std::vector<std::pair<std::string, std::string>> values_;
  std::vector<std::string> flags_;
  std::vector<std::string> positionals_;
};

// Runs the command line of velmora-cli (the arguments after the program's
// name): the overview, a command's --help, or the command itself. Returns
// the exit code; a failure prints one line on stderr.
int RunCommandLine(const std::vector<std::string>& args);

// -o FILE or --output FILE: the file a command writes.
inline const std::vector<std::string> kOutputOptions{"-o", "--output"};
// The file -o or --output names, nullopt when neither is given; an empty
// name is a UsageError ("the output file name is empty").
std::optional<std::string> OutputOption(const ArgParser& ap);
// The same for a command that must write a file: without a name (or with
// an empty one) the UsageError says what is missing, as
// "the .BIN file is missing (-o OUT.BIN)".
std::string RequiredOutput(const ArgParser& ap, const std::string& missing);

// True when args hold -h or --help.
bool WantsHelp(const std::vector<std::string>& args);

// Parses a decimal or 0x-hexadecimal integer; UsageError otherwise.
long long ParseInteger(const std::string& text, const std::string& what);

// The code page that --codepage names, nullopt when the option is absent;
// UsageError for a name that is no code page.
std::optional<CodePage> CodePageOption(const ArgParser& ap);

// Parses a phrase index as every phrase file writes it: decimal digits
// only (no plus sign, no 0x, no blanks; a minus sign gives an index that
// names no phrase); UsageError otherwise.
long long ParseIndex(const std::string& text, const std::string& what);

}  // namespace velmora::cli
