// velmora-cli: the Velmora core driven from the command line.
#include <string>
#include <vector>

#include "cli/CliCommon.h"

int main(int argc, char** argv) {
  return velmora::cli::RunCommandLine(std::vector<std::string>(argv + 1, argv + argc));
}
