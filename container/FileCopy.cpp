#include "container/FileCopy.h"

#include <sys/sendfile.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace velmora {

uint64_t CopyFileBytes(int in, uint64_t from, TStream& out, uint64_t count) {
  const std::optional<TStream::FileSpan> target = out.FileAt(out.Position());
  if (!target) return 0;
  off64_t inPos = static_cast<off64_t>(from);
  off64_t outPos = target->offset;
  uint64_t done = 0;
  bool sameFileSystem = true;
  while (done < count) {
    const auto n = static_cast<size_t>(std::min<uint64_t>(count - done, 1u << 30));
    ssize_t copied;
    if (sameFileSystem) {
      copied = ::copy_file_range(in, &inPos, target->fd, &outPos, n, 0);
      if (copied < 0 && errno == EINTR) continue;
      if (copied < 0 && errno == EXDEV) {
        // Between two file systems (a memory file and a disk file):
        // sendfile copies there, at the descriptor's own position.
        sameFileSystem = false;
        if (::lseek(target->fd, outPos, SEEK_SET) < 0) break;
        continue;
      }
    } else {
      off_t at = static_cast<off_t>(inPos);
      copied = ::sendfile(target->fd, in, &at, n);
      if (copied < 0 && errno == EINTR) continue;
      inPos = at;
    }
    if (copied <= 0) break;
    done += static_cast<uint64_t>(copied);
  }
  out.SetPosition(target->offset + static_cast<int64_t>(done));
  return done;
}

}  // namespace velmora
