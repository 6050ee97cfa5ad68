// velmora-cli: the Velmora core driven from the command line.
#include <csignal>
#include <string>
#include <vector>

#include "cli/CliCommon.h"

int main(int argc, char** argv) {
  // A reader that closes the pipe early makes writes fail with EPIPE, which
  // ends the command with exit status 1 instead of killing it silently.
  std::signal(SIGPIPE, SIG_IGN);
  return velmora::cli::RunCommandLine(std::vector<std::string>(argv + 1, argv + argc));
}
