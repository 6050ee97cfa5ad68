// Seekable byte streams: the abstract stream, a file stream and a memory
// stream. Reads deliver what is there; ReadBuffer/WriteBuffer insist on the
// whole count and raise "Stream read error" / "Stream write error".
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "container/io/FileMapping.h"

namespace velmora {

enum class SeekOrigin { Begin, Current, End };

class TStream {
 public:
  virtual ~TStream() = default;
  TStream() = default;
  TStream(const TStream&) = delete;
  TStream& operator=(const TStream&) = delete;

  // Delivers up to count bytes; fewer at the end of the data.
  virtual size_t Read(void* buffer, size_t count) = 0;
  // Writes count bytes; a stream that cannot take them all raises EWriteError.
  virtual void Write(const void* buffer, size_t count) = 0;
  // Returns the new position.
  virtual int64_t Seek(int64_t offset, SeekOrigin origin) = 0;

  // The file the stream reads or writes, for messages; empty for memory.
  virtual std::string Name() const { return {}; }

  // Where the stream's byte at pos lies when the stream is backed by files:
  // the open file, the position in it, and how many bytes from there belong
  // to the same file in a row. None for memory.
  struct FileSpan {
    int fd = -1;
    int64_t offset = 0;
    int64_t length = 0;
  };
  virtual std::optional<FileSpan> FileAt(int64_t /*pos*/) { return std::nullopt; }

  // A read-only mapping of count bytes from pos where they lie in one file
  // that can be mapped (container/io/FileMapping.h); null otherwise, and the
  // caller reads them instead.
  std::unique_ptr<TFileMapping> Map(int64_t pos, size_t count);

  int64_t Position() { return Seek(0, SeekOrigin::Current); }
  void SetPosition(int64_t pos) { Seek(pos, SeekOrigin::Begin); }
  int64_t Size();

  // Whole-count reads and writes. A short read raises EReadError naming
  // the stream and where its data ends.
  void ReadBuffer(void* buffer, size_t count);
  void WriteBuffer(const void* buffer, size_t count) { Write(buffer, count); }
  void WriteZeros(size_t count);
  // Copies count bytes from source's current position; EReadError when short.
  // Between two files the kernel copies them (copy_file_range), so they never
  // pass through the program's memory.
  void CopyFrom(TStream& source, uint64_t count);
};

// A file on disk, either opened for reading (others may read, not write) or
// created anew (replacing an earlier file). Only a regular file is opened
// for reading: a folder, FIFO or device raises EFOpenError saying what it
// is (a FIFO would hold the open up, a device has no size to read by).
class TFileStream : public TStream {
 public:
  enum class Mode { OpenRead, Create, OpenReadWrite };
  TFileStream(const std::string& path, Mode mode);
  // Takes over an open descriptor; name is the path that messages show.
  TFileStream(int fd, std::string name);
  ~TFileStream() override;

  size_t Read(void* buffer, size_t count) override;
  void Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;

  const std::string& Path() const { return path_; }
  std::string Name() const override { return path_; }
  std::optional<FileSpan> FileAt(int64_t pos) override;
  int Descriptor() const { return fd_; }
  // Flushes to disk; raises EWriteError when the system reports a failure.
  void Flush();
  void Close();

 private:
  std::string path_;
  int fd_ = -1;
};

// Bytes in memory, growing on writes past the end.
class TMemoryStream : public TStream {
 public:
  TMemoryStream() = default;
  explicit TMemoryStream(std::vector<uint8_t> data) : data_(std::move(data)) {}

  size_t Read(void* buffer, size_t count) override;
  void Write(const void* buffer, size_t count) override;
  int64_t Seek(int64_t offset, SeekOrigin origin) override;

  std::vector<uint8_t>& Data() { return data_; }
  const std::vector<uint8_t>& Data() const { return data_; }

 private:
  std::vector<uint8_t> data_;
  int64_t pos_ = 0;
};

// The one reader at a position that never goes past what it may read: seeks
// to pos and reads up to count bytes, stopping at end (the bytes the stream
// is known to hold; no bound when not given). The bytes it does not deliver
// (before position 0, at or past end, past the data) are left zero. Returns
// how many it delivered.
size_t ReadBytesAt(TStream& stream, int64_t pos, void* buffer, size_t count, int64_t end = INT64_MAX);

// True when a regular file (or a link to one) exists at path.
bool FileExists(const std::string& path);
// What lies at path when it is not a regular file: "a folder", "a FIFO",
// "a device" or "a socket"; empty for a regular file or nothing at all.
std::string NonRegularFileKind(const std::string& path);
// True when both paths name the same file on disk (by device and inode).
bool SameFile(const std::string& a, const std::string& b);
// Reads a whole file; EFOpenError / EReadError on failure.
std::vector<uint8_t> ReadWholeFile(const std::string& path);
// Reads a whole file that a user hands over (a phrase file, a memory, a
// glossary) and that may hold at most maxBytes: EFOpenError for what is not
// a regular file, EFormatError "<path>: the file holds N bytes; <limitText>"
// for a larger one, so nothing is allocated for it.
std::string ReadBoundedFile(const std::string& path, uint64_t maxBytes, const std::string& limitText);

}  // namespace velmora
