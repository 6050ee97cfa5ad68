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
//   either the old file or the new one. When that sync fails the file is
//   in place all the same: the failure is a note for the folder-sync notice
//   (below), not an error.
#pragma once

#include <functional>
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
  // Syncs, names and renames the file into place, then syncs the folder.
  // Raises EWriteError on failure; the target is then untouched and no
  // temporary is left. A folder that cannot be synced goes to the
  // folder-sync notice.
  void Commit();

 private:
  std::string shown_;   // the path as given, for messages
  std::string target_;  // the file to replace
  std::string folder_;
  std::string temp_;    // the named temporary, while one exists
  int pendingSlot_ = -1;
  bool unnamed_ = false;
  std::unique_ptr<TFileStream> stream_;
  bool committed_ = false;

  void NameTemporary();
  void DropTemporary();
};

// The file that path finally names: a chain of symbolic links in its last
// component is followed (also to a target that does not exist yet);
// relative link texts count from the link's folder. The folders on the way
// are left as they are. Raises EFCreateError for a link loop.
std::string ResolveSymlinks(const std::string& path);

// Removes the named temporaries of saves under way; safe inside a signal
// handler that ends the program.
void RemovePendingTemporariesInSignal();

// Where Commit() reports a folder that could not be synced after the rename
// (the file is written, but the rename might not survive a power cut): the
// programs say it, velmora-cli on standard error and the window in its
// status line. Without a notice the note is dropped. Returns the notice
// that was set before, so that a window can put it back when it goes.
using FolderSyncNotice = std::function<void(const std::string& note)>;
FolderSyncNotice SetFolderSyncNotice(FolderSyncNotice notice);
// The note: 'the folder of "PATH" could not be synced: REASON; the file is
// written but may not survive a power cut'.
std::string FolderSyncNote(const std::string& path, const std::string& reason);

// Writes bytes to path atomically.
void WriteFileAtomically(const std::string& path, const void* data, size_t size);

// For tests: false makes every TAtomicFile use a named temporary, as on
// systems without unnamed files. True (the default) uses them where the
// system offers them.
void AllowUnnamedTemporaries(bool allow);

}  // namespace velmora
