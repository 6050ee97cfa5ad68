// Bytes of a file mapped into memory, read only.
//
// A mapping reads the file's pages where the system already keeps them,
// without copying them into memory of our own: the bytes of a 128 MB unit
// are there at once, and pages nobody looks at cost nothing. Looking at a
// page for the first time does cost something, though, so work that goes
// over every byte reads them through a small buffer instead (ReadAt), and
// bytes that only move to another file are copied by the kernel from the
// file itself (container/io/FileCopy.h), which the mapping keeps open.
//
// The file must not shrink while it is mapped, since a page past its new end
// could no longer be read. Our own saves never change a file in place (they
// replace it), so a mapping of a project or a source serves a command's few
// seconds well; what is kept for long takes a private copy (PrivateCopy),
// which no other program can reach.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace velmora {

class TFileMapping {
 public:
  // Maps length bytes from offset of the open file fd, which the mapping
  // keeps open (a duplicate; fd stays the caller's); name is the file's path
  // for messages. Null when the system cannot map them or the file does not
  // hold them all; the caller then reads instead.
  static std::unique_ptr<TFileMapping> Map(int fd, uint64_t offset, size_t length, std::string name);

  // A copy of the mapped bytes in a file of our own that lives only in
  // memory (an anonymous memory file), made by the kernel; null where the
  // system has none.
  static std::unique_ptr<TFileMapping> PrivateCopy(const TFileMapping& source);

  ~TFileMapping();
  TFileMapping(const TFileMapping&) = delete;
  TFileMapping& operator=(const TFileMapping&) = delete;

  const uint8_t* Data() const { return data_; }
  size_t Size() const { return size_; }
  // The open file and where the mapped bytes start in it.
  int Descriptor() const { return fd_; }
  uint64_t Offset() const { return offset_; }

  // Reads count mapped bytes from from on into buffer, from the file.
  // Raises EReadError when the file no longer holds them.
  void ReadAt(uint64_t from, void* buffer, size_t count) const;

 private:
  TFileMapping(int fd, uint64_t offset, void* base, size_t baseLength, size_t skip, size_t size, std::string name)
      : fd_(fd), offset_(offset), base_(base), baseLength_(baseLength),
        data_(static_cast<const uint8_t*>(base) + skip), size_(size), name_(std::move(name)) {}

  int fd_;
  uint64_t offset_;
  void* base_;  // as mapped: from a page boundary
  size_t baseLength_;
  const uint8_t* data_;
  size_t size_;
  std::string name_;
};

}  // namespace velmora
