// Locks that keep concurrent work on one stored project in order. Two
// empty lock files lie beside the project (beside the file its symbolic
// links lead to):
//
//   ".NAME.lock"  the edit lock. Every change of the stored project holds
//                 it exclusively (flock LOCK_EX) from reading the project
//                 to renaming the new file into place: the command-line
//                 edits through EditProjectFile, and the window while it
//                 saves. Concurrent changes therefore queue, and each works
//                 on the file the one before it wrote, so no edit is lost.
//
//   ".NAME.open"  the window lock. A window that shows the project holds it
//                 shared (LOCK_SH) for as long as it shows it. A window that
//                 is about to open the project tries to take it exclusively
//                 without waiting; when that fails, another window shows the
//                 project and the user is asked before opening it anyway.
//
// The window lock is a file of its own so that an open window never blocks
// the command line: a command takes only the edit lock, and a window takes
// that only while it saves. (One file would not do: flock locks a whole
// file, and a byte-range lock beside flock conflicts with it on NFS, where
// flock is emulated by a whole-file range lock.)
//
// flock locks belong to the open file and end with the process, also when
// it is killed, so a crash never leaves a project locked. The lock files
// are never removed: removing one while another process waits on it would
// let two holders in.
//
// A change never runs unlocked: where the edit lock cannot be had (a lock
// file of another user that this one may not open, a folder or a symbolic
// link in its place, a read-only folder) the change is refused with
// ELockError naming the lock file and the reason; only where the folder
// itself is missing, so that no file can be written there, the save goes
// on to report that. Lock files are opened
// without following symbolic links, so a planted link never makes a command
// create a file elsewhere. A project name so long that ".NAME.lock" would
// pass the system's limit for a name gets a lock named by the start of the
// name and a hash of all of it. The window lock only informs, so a window
// lock that cannot be had is skipped.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "container/io/StreamErrors.h"

namespace velmora {

// 'Cannot lock project "%s": the lock file "%s" cannot be used. %s'
class ELockError : public EStreamError {
 public:
  ELockError(const std::string& projectPath, const std::string& lockPath, const std::string& reason);
};

// Called once when a lock is not had within `after` (a second, unless a
// test wants it sooner) and the command goes on waiting for it; the
// command line says so on standard error. None by default.
inline constexpr std::chrono::milliseconds kLockWaitQuietTime{1000};
using LockWaitNotice = std::function<void(const std::string& lockPath)>;
void SetLockWaitNotice(LockWaitNotice notice, std::chrono::milliseconds after = kLockWaitQuietTime);

// A flock on one lock file, held for the object's life.
class THeldLock {
 public:
  ~THeldLock();
  THeldLock(const THeldLock&) = delete;
  THeldLock& operator=(const THeldLock&) = delete;

 protected:
  // Waits while a conflicting holder has the lock. When required, a lock
  // that cannot be had raises ELockError naming projectPath; otherwise
  // nothing is held then.
  THeldLock(const std::string& projectPath, const std::string& lockPath, bool exclusive, bool required);

 private:
  int fd_ = -1;
};

// The exclusive edit lock of the project at projectPath.
class TProjectEditLock : public THeldLock {
 public:
  explicit TProjectEditLock(const std::string& projectPath);
};

// The shared window lock of the project at projectPath.
class TProjectWindowLock : public THeldLock {
 public:
  explicit TProjectWindowLock(const std::string& projectPath);

  // True when some window (of any process, this one's other locks
  // included) holds the window lock of the project at projectPath.
  static bool IsHeld(const std::string& projectPath);
};

// The two lock files of the project at projectPath.
std::string ProjectEditLockPath(const std::string& projectPath);
std::string ProjectWindowLockPath(const std::string& projectPath);

}  // namespace velmora
