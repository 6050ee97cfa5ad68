// velmora-cli: the Velmora core driven from the command line.
#include <algorithm>
#include <exception>
#include <iostream>

#include "cli/CliCommon.h"

using namespace velmora::cli;

namespace {

void PrintOverview(std::ostream& out) {
  out << "Usage: velmora-cli COMMAND [OPTIONS...]\n\n"
         "Reads, analyses and translates the texts of a navigation loader (LOADING.KWI)\n"
         "or of one loading unit (.BIN).\n\nCommands:\n";
  auto commands = Registry();
  std::sort(commands.begin(), commands.end(), [](const Command& a, const Command& b) { return a.name < b.name; });
  for (const auto& c : commands) {
    out << "  " << c.name;
    for (size_t i = c.name.size(); i < 14; ++i) out << ' ';
    out << c.summary << "\n";
  }
  out << "\nRun 'velmora-cli COMMAND --help' for a command's options.\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    PrintOverview(std::cerr);
    return kExitUsage;
  }
  if (args[0] == "-h" || args[0] == "--help" || args[0] == "help") {
    PrintOverview(std::cout);
    return kExitOk;
  }
  const auto& reg = Registry();
  const auto it = std::find_if(reg.begin(), reg.end(), [&](const Command& c) { return c.name == args[0]; });
  if (it == reg.end()) {
    std::cerr << "velmora-cli: unknown command '" << args[0] << "'. Run 'velmora-cli --help' for the list.\n";
    return kExitUsage;
  }
  std::vector<std::string> rest(args.begin() + 1, args.end());
  if (WantsHelp(rest)) {
    std::cout << it->usage;
    return kExitOk;
  }
  try {
    return it->run(rest);
  } catch (const UsageError& e) {
    std::cerr << "velmora-cli " << it->name << ": " << e.what() << "\n"
              << "Run 'velmora-cli " << it->name << " --help' for usage.\n";
    return kExitUsage;
  } catch (const std::exception& e) {
    std::cerr << "velmora-cli " << it->name << ": " << e.what() << "\n";
    return kExitFailure;
  }
}
