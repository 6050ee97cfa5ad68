#include "container/FileMapping.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace velmora {

namespace {

// The pages are mapped at once, all of them (MAP_POPULATE): every caller
// goes on to read or write out the whole region, and one call that maps
// them is far cheaper than a fault for each page.
void* MapPages(int fd, off_t offset, size_t length) {
  void* p = ::mmap(nullptr, length, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, offset);
  return p == MAP_FAILED ? nullptr : p;
}

bool WriteAll(int fd, const uint8_t* data, size_t length) {
  while (length > 0) {
    const ssize_t n = ::write(fd, data, length);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    length -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

std::unique_ptr<TFileMapping> TFileMapping::Map(int fd, uint64_t offset, size_t length) {
  struct stat st {};
  if (length == 0 || ::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
  if (offset > static_cast<uint64_t>(st.st_size) || length > static_cast<uint64_t>(st.st_size) - offset) return nullptr;
  const uint64_t page = static_cast<uint64_t>(::sysconf(_SC_PAGESIZE));
  const uint64_t start = offset / page * page;
  const size_t skip = static_cast<size_t>(offset - start);
  void* base = MapPages(fd, static_cast<off_t>(start), skip + length);
  if (base == nullptr) return nullptr;
  return std::unique_ptr<TFileMapping>(new TFileMapping(base, skip + length, skip, length));
}

std::unique_ptr<TFileMapping> TFileMapping::PrivateCopy(const uint8_t* data, size_t length) {
#ifdef MFD_CLOEXEC
  if (length == 0) return nullptr;
  const int fd = ::memfd_create("velmora-unit", MFD_CLOEXEC);
  if (fd < 0) return nullptr;
  std::unique_ptr<TFileMapping> copy;
  if (WriteAll(fd, data, length)) copy = Map(fd, 0, length);
  ::close(fd);  // the mapping keeps the memory file
  return copy;
#else
  (void)data;
  (void)length;
  return nullptr;
#endif
}

TFileMapping::~TFileMapping() { ::munmap(base_, baseLength_); }

}  // namespace velmora
