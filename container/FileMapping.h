// Bytes of a file mapped into memory, read only.
//
// A mapping reads the file's pages where the system already keeps them,
// without copying them into memory of our own: the bytes of a 128 MB unit are
// there at once, pages nobody looks at cost nothing, and writing them to
// another file is one copy inside the kernel. The file must not shrink while
// it is mapped, since a page past its new end could no longer be read. Our
// own saves never change a file in place (they replace it), so a mapping of a
// project or a source serves a command's few seconds well; what is kept for
// long takes a private copy (PrivateCopy), which no other program can reach.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace velmora {

class TFileMapping {
 public:
  // Maps length bytes from offset of the open file fd (the descriptor stays
  // the caller's; the mapping outlives it). Null when the system cannot map
  // them or the file does not hold them all; the caller then reads instead.
  static std::unique_ptr<TFileMapping> Map(int fd, uint64_t offset, size_t length);

  // A copy of length bytes in a file of our own that lives only in memory
  // (an anonymous memory file); null where the system has none. The copy is
  // made by the kernel, page by page, and costs far less than filling fresh
  // memory of the program's own.
  static std::unique_ptr<TFileMapping> PrivateCopy(const uint8_t* data, size_t length);

  ~TFileMapping();
  TFileMapping(const TFileMapping&) = delete;
  TFileMapping& operator=(const TFileMapping&) = delete;

  const uint8_t* Data() const { return data_; }
  size_t Size() const { return size_; }

 private:
  TFileMapping(void* base, size_t baseLength, size_t skip, size_t size)
      : base_(base), baseLength_(baseLength), data_(static_cast<const uint8_t*>(base) + skip), size_(size) {}

  void* base_;         // as mapped: from a page boundary
  size_t baseLength_;
  const uint8_t* data_;
  size_t size_;
};

}  // namespace velmora
