#include "container/io/MappedFileFault.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include <string>

#include "container/io/AtomicFile.h"
#include "container/io/StreamErrors.h"

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
  // Put together now: the handler may only copy bytes out.
  const std::string text = std::string(program) + ": Stream read error: " + kFileChangedWhileRead + "\n";
  g_length = std::min(text.size(), sizeof g_message);
  std::memcpy(g_message, text.data(), g_length);
  struct sigaction sa {};
  sa.sa_handler = EndOnMappedFileFault;
  sigemptyset(&sa.sa_mask);
  ::sigaction(SIGBUS, &sa, nullptr);
}

}  // namespace velmora
