// velmora-cli: the Velmora core driven from the command line.
#include <algorithm>
#include <exception>
#include <iostream>
#include <string_view>

#include "cli/CliCommon.h"
#include "project/CodePages.h"
#include "velmora/Version.h"

using namespace velmora::cli;

namespace {

void PrintOverview(std::ostream& out) {
  out << "Usage: velmora-cli COMMAND [OPTIONS...]\n"
         "  or:  velmora-cli --help | --version\n\n"
         "Reads, analyses and translates the texts of a navigation loader (LOADING.KWI)\n"
         "or of one loading unit (.BIN).\n\nCommands:\n";
  auto commands = Registry();
  std::sort(commands.begin(), commands.end(), [](const Command& a, const Command& b) { return a.name < b.name; });
  for (const auto& c : commands) {
    out << "  " << c.name;
    for (size_t i = c.name.size(); i < 14; ++i) out << ' ';
    out << c.summary << "\n";
  }
  out << "\nOptions:\n"
         "  -h, --help    show this help and exit\n"
         "  --version     show the version and exit\n"
         "\nCode pages (the NAME of --codepage):\n";
  // The names as the code-page table holds them, wrapped like the text above.
  size_t column = 1;
  out << ' ';
  for (int i = 0; i < velmora::kCodePageCount; ++i) {
    const std::string_view name = velmora::CodePageCliName(static_cast<velmora::CodePage>(i));
    if (column + 1 + name.size() > 78) {
      out << "\n ";
      column = 1;
    }
    out << ' ' << name;
    column += 1 + name.size();
  }
  out << "\n\nRun 'velmora-cli COMMAND --help' for a command's options.\n";
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
  if (args[0] == "--version") {
    std::cout << "velmora-cli " << velmora::kVersion << "\n";
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
