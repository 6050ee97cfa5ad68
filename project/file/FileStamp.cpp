#include "project/file/FileStamp.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace velmora {

namespace {

std::optional<FileStamp> Metadata(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  FileStamp s;
  s.Device = static_cast<uint64_t>(st.st_dev);
  s.Inode = static_cast<uint64_t>(st.st_ino);
  s.Size = static_cast<uint64_t>(st.st_size);
  s.ModifiedNs = static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return s;
}

std::optional<uint64_t> HashFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  uint64_t h = 14695981039346656037ull;
  unsigned char buffer[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    for (ssize_t i = 0; i < n; ++i) h = (h ^ buffer[i]) * 1099511628211ull;
  }
  ::close(fd);
  return h;
}

}  // namespace

std::optional<FileStamp> StampFile(const std::string& path) {
  auto s = Metadata(path);
  if (!s) return std::nullopt;
  const auto h = HashFile(path);
  if (!h) return std::nullopt;
  s->Hash = *h;
  return s;
}

bool FileChangedSince(const FileStamp& stamp, const std::string& path) {
  const auto now = Metadata(path);
  if (!now) return true;
  if (now->Device == stamp.Device && now->Inode == stamp.Inode && now->Size == stamp.Size &&
      now->ModifiedNs == stamp.ModifiedNs)
    return false;
  if (now->Size != stamp.Size) return true;
  const auto h = HashFile(path);
  return !h || *h != stamp.Hash;
}

}  // namespace velmora
