#include "cli/CliCommon.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string_view>

#include "cli/StdStreams.h"
#include "project/text/CodePages.h"
#include "velmora/Version.h"

namespace velmora::cli {

std::vector<Command>& Registry() {
  static std::vector<Command> commands;
  return commands;
}

ArgParser::ArgParser(const std::vector<std::string>& args, std::vector<std::string> valueOptions,
                     std::vector<std::string> flagOptions) {
  auto isIn = [](const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
  };
  bool onlyPositionals = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (onlyPositionals || a.size() < 2 || a[0] != '-' ||
        (a[1] >= '0' && a[1] <= '9')) {  // "-1" is a value, not an option
      positionals_.push_back(a);
      continue;
    }
    if (a == "--") {
      onlyPositionals = true;
      continue;
    }
    std::string name = a;
    std::optional<std::string> inlineValue;
    const auto eq = a.find('=');
    if (a.rfind("--", 0) == 0 && eq != std::string::npos) {
      name = a.substr(0, eq);
      inlineValue = a.substr(eq + 1);
    }
    if (isIn(valueOptions, name)) {
      if (inlineValue) {
        values_.emplace_back(name, *inlineValue);
      } else {
        if (i + 1 >= args.size()) throw UsageError("option " + name + " needs a value");
        values_.emplace_back(name, args[++i]);
      }
    } else if (isIn(flagOptions, name) && !inlineValue) {
      flags_.push_back(name);
    } else {
      throw UsageError("unknown option " + a);
    }
  }
}

bool ArgParser::Has(const std::string& name) const {
  return std::find(flags_.begin(), flags_.end(), name) != flags_.end() ||
         std::any_of(values_.begin(), values_.end(), [&](const auto& kv) { return kv.first == name; });
}

std::optional<std::string> ArgParser::Value(const std::string& name) const {
  std::optional<std::string> last;
  for (const auto& [k, v] : values_)
    if (k == name) last = v;
  return last;
}

std::vector<std::string> ArgParser::Values(const std::string& name) const {
  std::vector<std::string> out;
  for (const auto& [k, v] : values_)
    if (k == name) out.push_back(v);
  return out;
}

namespace {

void PrintOverview(std::ostream& out) {
  out << "Usage: velmora-cli COMMAND [OPTIONS...]\n"
         "  or:  velmora-cli --help | --version\n\n"
         "Reads, analyses and translates the texts of a navigation loader (LOADING.KWI)\n"
         "or of one loading unit (.BIN).\n\nCommands:\n";
  auto commands = Registry();
  std::sort(commands.begin(), commands.end(), [](const Command& a, const Command& b) { return a.Name < b.Name; });
  for (const auto& c : commands) {
    out << "  " << c.Name;
    for (size_t i = c.Name.size(); i < 14; ++i) out << ' ';
    out << c.Summary << "\n";
  }
  out << "\nOptions:\n"
         "  -h, --help    show this help and exit\n"
         "  --version     show the version and exit\n"
         "\nCode pages (the NAME of --codepage):\n";
  // The names as the code-page table holds them, wrapped like the text above.
  size_t column = 1;
  out << ' ';
  for (int i = 0; i < kCodePageCount; ++i) {
    const std::string_view name = CodePageCliName(static_cast<CodePage>(i));
    if (column + 1 + name.size() > 78) {
      out << "\n ";
      column = 1;
    }
    out << ' ' << name;
    column += 1 + name.size();
  }
  out << "\n\nRun 'velmora-cli COMMAND --help' for a command's options.\n";
}

// The exit code, or 1 when standard output lost what was written to it.
int FlushedExit(int code, const std::string& command) {
  try {
    FlushStandardOutput();
    return code;
  } catch (const std::exception& e) {
    std::cerr << "velmora-cli" << command << ": " << e.what() << "\n";
    return kExitFailure;
  }
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& args) {
  UseDescriptorForStandardOutput();
  if (args.empty()) {
    PrintOverview(std::cerr);
    return kExitUsage;
  }
  if (args[0] == "-h" || args[0] == "--help" || args[0] == "help") {
    PrintOverview(std::cout);
    return FlushedExit(kExitOk, "");
  }
  if (args[0] == "--version") {
    std::cout << "velmora-cli " << kVersion << "\n";
    return FlushedExit(kExitOk, "");
  }
  const auto& reg = Registry();
  const auto it = std::find_if(reg.begin(), reg.end(), [&](const Command& c) { return c.Name == args[0]; });
  if (it == reg.end()) {
    std::cerr << "velmora-cli: unknown command '" << args[0] << "'. Run 'velmora-cli --help' for the list.\n";
    return kExitUsage;
  }
  std::vector<std::string> rest(args.begin() + 1, args.end());
  if (WantsHelp(rest)) {
    std::cout << it->Usage;
    return FlushedExit(kExitOk, " " + it->Name);
  }
  try {
    const int code = it->Run(rest);
    // A result that never reached its reader is a failure, whatever the
    // command itself made of its work.
    FlushStandardOutput();
    return code;
  } catch (const UsageError& e) {
    std::cerr << "velmora-cli " << it->Name << ": " << e.what() << "\n"
              << "Run 'velmora-cli " << it->Name << " --help' for usage.\n";
    return kExitUsage;
  } catch (const std::exception& e) {
    std::cerr << "velmora-cli " << it->Name << ": " << e.what() << "\n";
    return kExitFailure;
  }
}

std::optional<std::string> OutputOption(const ArgParser& ap) {
  auto output = ap.Value("-o");
  if (!output) output = ap.Value("--output");
  if (output && output->empty()) throw UsageError("the output file name is empty");
  return output;
}

std::string RequiredOutput(const ArgParser& ap, const std::string& missing) {
  auto output = ap.Value("-o");
  if (!output) output = ap.Value("--output");
  if (!output || output->empty()) throw UsageError(missing);
  return *output;
}

bool WantsHelp(const std::vector<std::string>& args) {
  for (const auto& a : args) {
    if (a == "--") return false;
    if (a == "-h" || a == "--help") return true;
  }
  return false;
}

long long ParseInteger(const std::string& text, const std::string& what) {
  if (text.empty()) throw UsageError(what + " is empty");
  errno = 0;
  char* end = nullptr;
  const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const long long v = std::strtoll(text.c_str(), &end, hex ? 16 : 10);
  if (errno != 0 || end == text.c_str() || *end != '\0') throw UsageError(what + " '" + text + "' is not a number");
  return v;
}

std::optional<CodePage> CodePageOption(const ArgParser& ap) {
  const auto name = ap.Value("--codepage");
  if (!name) return std::nullopt;
  if (const auto page = CodePageFromCliName(*name)) return page;
  throw UsageError("unknown code page '" + *name + "'");
}

long long ParseIndex(const std::string& text, const std::string& what) {
  // A minus sign is kept, so that a negative index is refused as one that
  // names no phrase.
  const size_t digits = !text.empty() && text[0] == '-' ? 1 : 0;
  if (text.size() == digits || text.size() > 18 ||
      !std::all_of(text.begin() + static_cast<std::ptrdiff_t>(digits), text.end(),
                   [](unsigned char c) { return c >= '0' && c <= '9'; }))
    throw UsageError(what + " '" + text + "' is not a number (decimal digits only)");
  return std::stoll(text);
}

}  // namespace velmora::cli
