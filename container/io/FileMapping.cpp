#include "container/io/FileMapping.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "container/io/StreamErrors.h"

namespace velmora {

std::unique_ptr<TFileMapping> TFileMapping::Map(int fd, uint64_t offset, size_t length, std::string name) {
  struct stat st {};
  if (length == 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
  if (offset > static_cast<uint64_t>(st.st_size) || length > static_cast<uint64_t>(st.st_size) - offset) return nullptr;
  const uint64_t page = static_cast<uint64_t>(::sysconf(_SC_PAGESIZE));
  const uint64_t start = offset / page * page;
  const size_t skip = static_cast<size_t>(offset - start);
  void* base = ::mmap(nullptr, skip + length, PROT_READ, MAP_PRIVATE, fd, static_cast<off_t>(start));
  if (base == MAP_FAILED) return nullptr;
  const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  if (own < 0) {
    ::munmap(base, skip + length);
    return nullptr;
  }
  return std::unique_ptr<TFileMapping>(new TFileMapping(own, offset, base, skip + length, skip, length, std::move(name)));
}

std::unique_ptr<TFileMapping> TFileMapping::PrivateCopy(const TFileMapping& source) {
#ifdef MFD_CLOEXEC
  const int fd = ::memfd_create("velmora-unit", MFD_CLOEXEC);
  if (fd < 0) return nullptr;
  off_t from = static_cast<off_t>(source.offset_);
  size_t left = source.size_;
  while (left > 0) {
    const ssize_t n = ::sendfile(fd, source.fd_, &from, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    left -= static_cast<size_t>(n);
  }
  std::unique_ptr<TFileMapping> copy = left == 0 ? Map(fd, 0, source.size_, source.name_) : nullptr;
  ::close(fd);  // the copy keeps its own descriptor
  return copy;
#else
  (void)source;
  return nullptr;
#endif
}

TFileMapping::~TFileMapping() {
  ::munmap(base_, baseLength_);
  ::close(fd_);
}

void TFileMapping::ReadAt(uint64_t from, void* buffer, size_t count) const {
  auto* out = static_cast<uint8_t*>(buffer);
  while (count > 0) {
    const ssize_t n = ::pread(fd_, out, count, static_cast<off_t>(offset_ + from));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw EReadError(name_, SystemReasonText(errno));
    if (n == 0) throw EReadError(name_, "the file was shortened while it was being read");
    out += n;
    from += static_cast<uint64_t>(n);
    count -= static_cast<size_t>(n);
  }
}

}  // namespace velmora
