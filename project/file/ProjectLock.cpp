#include "project/file/ProjectLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <thread>

#include "container/io/AtomicFile.h"

namespace velmora {

namespace {

// The longest file name the common file systems take.
constexpr size_t kNameMax = 255;
// How much of a long project name a hashed lock name keeps.
constexpr size_t kKeptNameBytes = 200;
constexpr auto kRetryEvery = std::chrono::milliseconds(20);

LockWaitNotice& WaitNotice() {
  static LockWaitNotice notice;
  return notice;
}

// How long a lock is tried before the wait is announced.
std::chrono::milliseconds& QuietWait() {
  static std::chrono::milliseconds quiet = kLockWaitQuietTime;
  return quiet;
}

uint64_t Fnv1a64(const std::string& text) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (const unsigned char c : text) {
    h ^= c;
    h *= 0x100000001b3ull;
  }
  return h;
}

// ".NAME" + suffix, or, where that passes the limit for a name, the start of
// NAME (cut before a UTF-8 sequence), "~" and a hash of the whole name.
std::string LockName(const std::string& name, const char* suffix) {
  std::string plain = "." + name + suffix;
  if (plain.size() <= kNameMax) return plain;
  size_t keep = kKeptNameBytes;
  while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep;
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(Fnv1a64(name)));
  return "." + name.substr(0, keep) + "~" + hash + suffix;
}

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
  return folder + LockName(name, suffix);
}

// The lock file, created when missing; -1 with errno where none can be had.
// Read-only is enough for flock, and lets users share a folder's lock files.
// A link is never followed, and whatever is not a plain file (a FIFO would
// hold the open up) is refused.
int OpenLockFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    errno = err;
    return -1;
  }
  return fd;
}

std::string LockReason(int err) {
  if (err == ELOOP) return "It is a symbolic link.";
  if (err == EINVAL) return "It is not a regular file.";
  return SystemReason(err);
}

// flock that goes on after a signal; returns 0 or the errno value.
int Flock(int fd, int operation) {
  while (::flock(fd, operation) != 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

// Takes the lock, announcing a wait that lasts more than a moment.
int FlockAnnounced(int fd, int operation, const std::string& lockPath) {
  const auto start = std::chrono::steady_clock::now();
  for (;;) {
    const int err = Flock(fd, operation | LOCK_NB);
    if (err != EWOULDBLOCK) return err;
    if (std::chrono::steady_clock::now() - start >= QuietWait()) break;
    std::this_thread::sleep_for(kRetryEvery);
  }
  if (WaitNotice()) WaitNotice()(lockPath);
  return Flock(fd, operation);
}

}  // namespace

ELockError::ELockError(const std::string& projectPath, const std::string& lockPath, const std::string& reason)
    : EStreamError("Cannot lock project \"" + projectPath + "\": the lock file \"" + lockPath +
                   "\" cannot be used. " + reason) {}

void SetLockWaitNotice(LockWaitNotice notice, std::chrono::milliseconds after) {
  WaitNotice() = std::move(notice);
  QuietWait() = after;
}

std::string ProjectEditLockPath(const std::string& projectPath) { return LockPathBeside(projectPath, ".lock"); }
std::string ProjectWindowLockPath(const std::string& projectPath) { return LockPathBeside(projectPath, ".open"); }

THeldLock::THeldLock(const std::string& projectPath, const std::string& lockPath, bool exclusive, bool required)
    : fd_(OpenLockFile(lockPath)) {
  int err = fd_ < 0 ? errno : 0;
  if (fd_ >= 0) {
    err = FlockAnnounced(fd_, exclusive ? LOCK_EX : LOCK_SH, lockPath);
    if (err != 0) {
      ::close(fd_);
      fd_ = -1;
    }
  }
  // A folder that does not exist takes no file either: the save reports
  // that in its own words, and nothing can be lost there.
  if (fd_ < 0 && required && err != ENOENT && err != ENOTDIR) throw ELockError(projectPath, lockPath, LockReason(err));
}

THeldLock::~THeldLock() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

TProjectEditLock::TProjectEditLock(const std::string& projectPath)
    : THeldLock(projectPath, ProjectEditLockPath(projectPath), true, true) {}

TProjectWindowLock::TProjectWindowLock(const std::string& projectPath)
    : THeldLock(projectPath, ProjectWindowLockPath(projectPath), false, false) {}

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
