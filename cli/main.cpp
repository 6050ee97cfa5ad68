// velmora-cli: the Velmora core driven from the command line.
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <iostream>

#include "cli/CliCommon.h"
#include "container/io/AtomicFile.h"
#include "container/io/MappedFileFault.h"
#include "project/file/ProjectLock.h"

namespace {

std::chrono::milliseconds LockNoticeTime() {
  const char* text = std::getenv("VELMORA_LOCK_NOTICE_MS");
  if (!text || !*text || std::strlen(text) > 6 || std::strspn(text, "0123456789") != std::strlen(text))
    return velmora::kLockWaitQuietTime;
  return std::chrono::milliseconds(std::atoi(text));
}

}  // namespace

int main(int argc, char** argv) {
  velmora::InstallMappedFileFaultHandler("velmora-cli");
  // A command that waits on another one's lock says so, so it never looks
  // hung: after a second, or after VELMORA_LOCK_NOTICE_MS milliseconds
  // (tests set 0 to learn at once that a command waits).
  velmora::SetLockWaitNotice(
      [](const std::string& lockPath) {
        std::cerr << "velmora-cli: waiting for the lock \"" << lockPath << "\" held by another command ...\n";
      },
      LockNoticeTime());
  // A file written whole whose folder could not be synced afterwards may not
  // survive a power cut: the command goes on, and says so.
  velmora::SetFolderSyncNotice([](const std::string& note) { std::cerr << "warning: " << note << "\n"; });
  // A reader that closes the pipe early makes writes fail with EPIPE, which
  // ends the command with exit status 1 instead of killing it silently.
  std::signal(SIGPIPE, SIG_IGN);
  return velmora::cli::RunCommandLine(std::vector<std::string>(argv + 1, argv + argc));
}
