#include "project/file/ProjectLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "container/io/AtomicFile.h"
#include "container/io/StreamErrors.h"

namespace velmora {

namespace {

std::string LockPathBeside(const std::string& projectPath, const char* suffix) {
  std::string target = projectPath;
  try {
    target = ResolveSymlinks(projectPath);
  } catch (const EStreamError&) {
    // A link loop: the open that follows reports it.
  }
  const auto slash = target.find_last_of('/');
  const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  return folder + "." + name + suffix;
}

// The lock file, created when missing; -1 where none can be had. Read-only
// is enough for flock, and lets users share a folder's lock files.
int OpenLockFile(const std::string& path) {
  return ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0666);
}

// flock that goes on after a signal; returns 0 or the errno value.
int Flock(int fd, int operation) {
  while (::flock(fd, operation) != 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

}  // namespace

std::string ProjectEditLockPath(const std::string& projectPath) { return LockPathBeside(projectPath, ".lock"); }
std::string ProjectWindowLockPath(const std::string& projectPath) { return LockPathBeside(projectPath, ".open"); }

THeldLock::THeldLock(const std::string& lockPath, bool exclusive) : fd_(OpenLockFile(lockPath)) {
  if (fd_ >= 0 && Flock(fd_, exclusive ? LOCK_EX : LOCK_SH) != 0) {
    // A file system without locks: go on unlocked, as without a lock file.
    ::close(fd_);
    fd_ = -1;
  }
}

THeldLock::~THeldLock() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

TProjectEditLock::TProjectEditLock(const std::string& projectPath)
    : THeldLock(ProjectEditLockPath(projectPath), true) {}

TProjectWindowLock::TProjectWindowLock(const std::string& projectPath)
    : THeldLock(ProjectWindowLockPath(projectPath), false) {}

bool TProjectWindowLock::IsHeld(const std::string& projectPath) {
  // Asking makes no lock file: without one, no window shows the project,
  // and a file that then fails to open leaves nothing beside it.
  const int fd = ::open(ProjectWindowLockPath(projectPath).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool held = Flock(fd, LOCK_EX | LOCK_NB) == EWOULDBLOCK;
  ::close(fd);
  return held;
}

}  // namespace velmora
