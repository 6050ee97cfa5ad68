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
// let two holders in. Where no lock file can be made (a read-only folder),
// the work goes on unlocked; nothing can be saved there anyway.
#pragma once

#include <string>

namespace velmora {

// A flock on one lock file, held for the object's life (nothing is held
// where the lock file cannot be made or locked).
class THeldLock {
 public:
  ~THeldLock();
  THeldLock(const THeldLock&) = delete;
  THeldLock& operator=(const THeldLock&) = delete;

 protected:
  // Waits while a conflicting holder has the lock.
  THeldLock(const std::string& lockPath, bool exclusive);

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
