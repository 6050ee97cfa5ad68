#include "container/io/MappedFileFault.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "container/io/AtomicFile.h"

namespace velmora {

namespace {

char g_message[256];
size_t g_length = 0;

extern "C" void EndOnMappedFileFault(int) {
  RemovePendingTemporariesInSignal();
  const ssize_t ignored = ::write(STDERR_FILENO, g_message, g_length);
  (void)ignored;
  ::_exit(1);
}

}  // namespace

void InstallMappedFileFaultHandler(const char* program) {
  static const char kText[] =
      ": Stream read error: a file changed while it was read (it was shortened while mapped)\n";
  const size_t n = std::min(std::strlen(program), sizeof g_message - sizeof kText);
  std::memcpy(g_message, program, n);
  std::memcpy(g_message + n, kText, sizeof kText - 1);
  g_length = n + sizeof kText - 1;
  struct sigaction sa {};
  sa.sa_handler = EndOnMappedFileFault;
  sigemptyset(&sa.sa_mask);
  ::sigaction(SIGBUS, &sa, nullptr);
}

}  // namespace velmora
