#include "cli/CliCommon.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

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

}  // namespace velmora::cli
