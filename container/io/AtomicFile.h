// An output file that appears only when it is complete. It is written
// beside its target and put in place by Commit() with one rename, so a
// failed or interrupted write never destroys the earlier file: the folder
// holds either the old file or the new one.
//
// - The target is the file a path finally names: a symbolic link stays a
//   link and the file it points to is replaced.
// - The replaced file keeps its permission bits (and, where allowed, its
//   owner and group). A file the user may not write is refused, as a plain
//   create would refuse it, although the folder would allow the rename.
// - On Linux the data goes into an unnamed file (O_TMPFILE) that gets a
//   name only once it is complete and synced, so a kill leaves nothing
//   behind. Elsewhere, and on file systems without unnamed files, a hidden
//   temporary ".NAME.tmp-PID-N" is used; SIGINT, SIGTERM and SIGHUP remove
//   it before the program ends, and the next save to the same target removes
//   those that a killed program left.
// - SIGXFSZ is ignored, so a file size limit ends the write with
//   "Stream write error: PATH: File too large" instead of killing the program.
// - After the rename the folder is synced, so that a power loss keeps
//   either the old file or the new one.
#pragma once

#include <memory>
#include <string>

#include "container/io/Stream.h"

namespace velmora {

class TAtomicFile {
 public:
  // Raises EFCreateError naming targetPath when the file cannot be created
  // or replaced.
  explicit TAtomicFile(const std::string& targetPath);
  ~TAtomicFile();
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;

  TStream& Stream() { return *stream_; }
  // The file that Commit() replaces: the given path with its symbolic links
  // followed.
  const std::string& TargetPath() const { return target_; }
  // Syncs, names and renames the file into place, then syncs the folder.
  // Raises EWriteError on failure; the target is then untouched and no
  // temporary is left.
  void Commit();
  // After Commit(): why the folder could not be synced, so that the rename
  // might not survive a power cut; empty when it was. The save itself has
  // succeeded either way.
  const std::string& FolderSyncProblem() const { return folderSyncProblem_; }

 private:
  std::string shown_;   // the path as given, for messages
  std::string target_;  // the file to replace
  std::string folder_;
  std::string temp_;    // the named temporary, while one exists
  int pendingSlot_ = -1;
  bool unnamed_ = false;
  std::unique_ptr<TFileStream> stream_;
  bool committed_ = false;
  std::string folderSyncProblem_;

  void NameTemporary();
  void DropTemporary();
};

// The file that path finally names: a chain of symbolic links in its last
// component is followed (also to a target that does not exist yet);
// relative link texts count from the link's folder. The folders on the way
// are left as they are. Raises EFCreateError for a link loop.
std::string ResolveSymlinks(const std::string& path);

// Writes bytes to path atomically.
void WriteFileAtomically(const std::string& path, const void* data, size_t size);

// For tests: false makes every TAtomicFile use a named temporary, as on
// systems without unnamed files. True (the default) uses them where the
// system offers them.
void AllowUnnamedTemporaries(bool allow);

}  // namespace velmora
