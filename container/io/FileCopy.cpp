#include "container/io/FileCopy.h"

#include <fcntl.h>
#include <sys/sendfile.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace velmora {

namespace {

// Copied in pieces of this size, each handed to the disk as soon as it is
// copied (below).
constexpr uint64_t kPiece = uint64_t{4} << 20;

}  // namespace

uint64_t CopyFileBytes(int in, uint64_t from, TStream& out, uint64_t count) {
  const std::optional<TStream::FileSpan> target = out.FileAt(out.Position());
  if (!target) return 0;
  off64_t inPos = static_cast<off64_t>(from);
  off64_t outPos = target->Offset;
  uint64_t done = 0;
  bool sameFileSystem = true;
  while (done < count) {
    const auto n = static_cast<size_t>(std::min<uint64_t>(count - done, kPiece));
    ssize_t copied;
    if (sameFileSystem) {
      copied = ::copy_file_range(in, &inPos, target->Fd, &outPos, n, 0);
      if (copied < 0 && errno == EINTR) continue;
      if (copied < 0 && errno == EXDEV) {
        // Between two file systems (a memory file and a disk file):
        // sendfile copies there, at the descriptor's own position.
        sameFileSystem = false;
        if (::lseek(target->Fd, outPos, SEEK_SET) < 0) break;
        continue;
      }
    } else {
      off_t at = static_cast<off_t>(inPos);
      copied = ::sendfile(target->Fd, in, &at, n);
      if (copied < 0 && errno == EINTR) continue;
      inPos = at;
    }
    if (copied <= 0) break;
    // Our outputs are synced once complete (container/io/AtomicFile.h), so
    // their pages may as well start for the disk now, while the next piece
    // is copied, instead of all at the sync.
    ::sync_file_range(target->Fd, target->Offset + static_cast<off64_t>(done), copied, SYNC_FILE_RANGE_WRITE);
    done += static_cast<uint64_t>(copied);
  }
  out.SetPosition(target->Offset + static_cast<int64_t>(done));
  return done;
}

}  // namespace velmora
