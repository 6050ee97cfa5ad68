#include "container/io/Stream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

#include "container/io/FileCopy.h"
#include "container/io/StreamErrors.h"

namespace velmora {

namespace {

std::string KindOfFile(mode_t mode) {
  if (S_ISREG(mode)) return {};
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISSOCK(mode)) return "a socket";
  return "a device";
}

}  // namespace

int64_t TStream::Size() {
  const int64_t pos = Seek(0, SeekOrigin::Current);
  const int64_t size = Seek(0, SeekOrigin::End);
  Seek(pos, SeekOrigin::Begin);
  return size;
}

void TStream::ReadBuffer(void* buffer, size_t count) {
  if (count == 0) return;
  const size_t got = Read(buffer, count);
  if (got == count) return;
  const int64_t end = Position();
  throw EReadError(Name(), (Name().empty() ? "the data ends at byte " : "the file ends at byte ") +
                               std::to_string(end) + ", before byte " +
                               std::to_string(end - static_cast<int64_t>(got) + static_cast<int64_t>(count)));
}

size_t ReadBytesAt(TStream& stream, int64_t pos, void* buffer, size_t count, int64_t end) {
  auto* out = static_cast<uint8_t*>(buffer);
  size_t got = 0;
  if (pos >= 0 && pos < end) {
    const auto want = static_cast<size_t>(std::min<uint64_t>(count, static_cast<uint64_t>(end - pos)));
    stream.Seek(pos, SeekOrigin::Begin);
    while (got < want) {
      const size_t n = stream.Read(out + got, want - got);
      if (n == 0) break;
      got += n;
    }
  }
  if (got < count) std::memset(out + got, 0, count - got);
  return got;
}

void TStream::WriteZeros(size_t count) {
  static const uint8_t zeros[4096] = {};
  while (count > 0) {
    const size_t n = std::min(count, sizeof zeros);
    Write(zeros, n);
    count -= n;
  }
}

std::unique_ptr<TFileMapping> TStream::Map(int64_t pos, size_t count) {
  const std::optional<FileSpan> span = FileAt(pos);
  if (!span || span->length < static_cast<int64_t>(count)) return nullptr;
  return TFileMapping::Map(span->fd, static_cast<uint64_t>(span->offset), count, Name());
}

void TStream::CopyFrom(TStream& source, uint64_t count) {
  while (count > 0) {
    const std::optional<FileSpan> from = source.FileAt(source.Position());
    if (!from || from->length <= 0) break;
    const uint64_t copied =
        CopyFileBytes(from->fd, static_cast<uint64_t>(from->offset), *this, std::min<uint64_t>(count, static_cast<uint64_t>(from->length)));
    // None copied: not between these two, or the source ends early; the
    // copy below takes over (and raises the read error).
    if (copied == 0) break;
    source.Seek(static_cast<int64_t>(copied), SeekOrigin::Current);
    count -= copied;
  }
  if (count == 0) return;
  const auto size = static_cast<size_t>(std::min<uint64_t>(count, 1u << 20));
  const auto buf = std::make_unique_for_overwrite<uint8_t[]>(size);
  while (count > 0) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(count, size));
    source.ReadBuffer(buf.get(), n);
    Write(buf.get(), n);
    count -= n;
  }
}

TFileStream::TFileStream(const std::string& path, Mode mode) : path_(path) {
  int flags = O_CLOEXEC;
  switch (mode) {
    case Mode::OpenRead: flags |= O_RDONLY | O_NONBLOCK; break;
    case Mode::Create: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
    case Mode::OpenReadWrite: flags |= O_RDWR; break;
  }
  fd_ = ::open(path.c_str(), flags, 0644);
  if (fd_ < 0) {
    const int err = errno;
    if (mode == Mode::Create) throw EFCreateError(path, SystemReason(err));
    throw EFOpenError(path, SystemReason(err));
  }
  struct stat st {};
  if (mode == Mode::OpenRead && ::fstat(fd_, &st) == 0 && !S_ISREG(st.st_mode)) {
    ::close(fd_);
    fd_ = -1;
    throw EFOpenError(path, "It is " + KindOfFile(st.st_mode) + ", not a regular file.");
  }
  // The open did not wait (a FIFO); reads of the file should.
  if (mode == Mode::OpenRead) ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
}

TFileStream::TFileStream(int fd, std::string name) : path_(std::move(name)), fd_(fd) {}

TFileStream::~TFileStream() {
  if (fd_ >= 0) ::close(fd_);
}

size_t TFileStream::Read(void* buffer, size_t count) {
  auto* p = static_cast<uint8_t*>(buffer);
  size_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(fd_, p + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EReadError(path_, SystemReasonText(errno));
    }
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  return done;
}

void TFileStream::Write(const void* buffer, size_t count) {
  const auto* p = static_cast<const uint8_t*>(buffer);
  size_t done = 0;
  while (done < count) {
    const ssize_t n = ::write(fd_, p + done, count - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      // The bytes came from a mapping whose file was shortened: the fault
      // is the input's, not this file's.
      if (errno == EFAULT) throw EReadError("", kFileChangedWhileRead);
      throw EWriteError(path_, SystemReasonText(errno));
    }
    if (n == 0) throw EWriteError(path_, SystemReasonText(ENOSPC));
    done += static_cast<size_t>(n);
  }
}

std::optional<TStream::FileSpan> TFileStream::FileAt(int64_t pos) {
  struct stat st {};
  if (fd_ < 0 || ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  return FileSpan{fd_, pos, std::max<int64_t>(0, static_cast<int64_t>(st.st_size) - pos)};
}

int64_t TFileStream::Seek(int64_t offset, SeekOrigin origin) {
  const int whence = origin == SeekOrigin::Begin ? SEEK_SET : origin == SeekOrigin::Current ? SEEK_CUR : SEEK_END;
  const off_t r = ::lseek(fd_, static_cast<off_t>(offset), whence);
  if (r < 0) throw EReadError(path_, SystemReasonText(errno));
  return static_cast<int64_t>(r);
}

void TFileStream::Flush() {
  if (fd_ >= 0 && ::fsync(fd_) != 0 && errno != EINVAL && errno != EROFS)
    throw EWriteError(path_, SystemReasonText(errno));
}

void TFileStream::Close() {
  if (fd_ >= 0) {
    const int r = ::close(fd_);
    const int err = errno;
    fd_ = -1;
    if (r != 0 && err != EINTR) throw EWriteError(path_, SystemReasonText(err));
  }
}

size_t TMemoryStream::Read(void* buffer, size_t count) {
  if (pos_ >= static_cast<int64_t>(data_.size())) return 0;
  const size_t n = std::min(count, data_.size() - static_cast<size_t>(pos_));
  if (n) std::memcpy(buffer, data_.data() + pos_, n);
  pos_ += static_cast<int64_t>(n);
  return n;
}

void TMemoryStream::Write(const void* buffer, size_t count) {
  if (count == 0) return;
  const size_t end = static_cast<size_t>(pos_) + count;
  if (end > data_.size()) data_.resize(end);
  std::memcpy(data_.data() + pos_, buffer, count);
  pos_ = static_cast<int64_t>(end);
}

int64_t TMemoryStream::Seek(int64_t offset, SeekOrigin origin) {
  int64_t base = 0;
  if (origin == SeekOrigin::Current) base = pos_;
  if (origin == SeekOrigin::End) base = static_cast<int64_t>(data_.size());
  pos_ = std::max<int64_t>(0, base + offset);
  return pos_;
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string NonRegularFileKind(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  return KindOfFile(st.st_mode);
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  TFileStream f(path, TFileStream::Mode::OpenRead);
  const int64_t size = f.Size();
  std::vector<uint8_t> data(static_cast<size_t>(size));
  f.ReadBuffer(data.data(), data.size());
  return data;
}

std::string ReadBoundedFile(const std::string& path, uint64_t maxBytes, const std::string& limitText) {
  TFileStream file(path, TFileStream::Mode::OpenRead);
  const int64_t size = file.Size();
  if (static_cast<uint64_t>(size) > maxBytes)
    throw EFormatError(path + ": the file holds " + std::to_string(size) + " bytes; " + limitText);
  std::string bytes(static_cast<size_t>(size), '\0');
  file.ReadBuffer(bytes.data(), bytes.size());
  return bytes;
}

}  // namespace velmora
