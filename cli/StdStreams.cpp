#include "cli/StdStreams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <iostream>

#include "container/io/AtomicFile.h"
#include "container/io/Stream.h"
#include "container/io/StreamErrors.h"

namespace velmora::cli {

namespace {

void WriteAllTo(int fd, std::string_view bytes, const std::string& shown) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EWriteError(shown, SystemReasonText(errno));
    }
    done += static_cast<size_t>(n);
  }
}

}  // namespace

bool IsStreamOutput(const std::string& path) {
  if (IsStdStream(path)) return true;
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode);
}

std::string OutputName(const std::string& path) { return IsStdStream(path) ? "standard output" : path; }

void WriteOutput(const std::string& path, std::string_view bytes) {
  if (IsStdStream(path)) {
    std::cout.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    FlushStandardOutput();
    return;
  }
  if (!IsStreamOutput(path)) {
    WriteFileAtomically(path, bytes.data(), bytes.size());
    return;
  }
  // Whatever went to standard output before must stay in front of these
  // bytes when both reach the same place (/dev/stdout).
  FlushStandardOutput();
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) throw EFCreateError(path, SystemReason(errno));
  try {
    WriteAllTo(fd, bytes, path);
  } catch (...) {
    ::close(fd);
    throw;
  }
  if (::close(fd) != 0 && errno != EINTR) throw EWriteError(path, SystemReasonText(errno));
}

std::vector<uint8_t> ReadInput(const std::string& path, uint64_t maxBytes, std::string_view limitText) {
  if (!IsStdStream(path)) {
    TFileStream file(path, TFileStream::Mode::OpenRead);
    const auto size = static_cast<uint64_t>(file.Size());
    if (size > maxBytes)
      throw EFormatError(path + ": the file holds " + std::to_string(size) + " bytes; " + std::string(limitText));
    std::vector<uint8_t> data(static_cast<size_t>(size));
    file.ReadBuffer(data.data(), data.size());
    return data;
  }
  // A pipe tells no size: read in pieces and stop one byte past the limit.
  std::vector<uint8_t> data;
  uint8_t buffer[65536];
  for (;;) {
    const uint64_t room = maxBytes + 1 - data.size();
    const ssize_t n = ::read(STDIN_FILENO, buffer, static_cast<size_t>(std::min<uint64_t>(sizeof buffer, room)));
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EReadError("standard input", SystemReasonText(errno));
    }
    if (n == 0) break;
    data.insert(data.end(), buffer, buffer + n);
    if (data.size() > maxBytes)
      throw EFormatError("standard input: the input holds more than " + std::to_string(maxBytes) + " bytes; " +
                         std::string(limitText));
  }
  return data;
}

namespace {

// Standard output written straight to its descriptor through a buffer of
// its own, so that the reason of a failed write is kept until it is
// reported (stdio forgets it).
class DescriptorBuffer final : public std::streambuf {
 public:
  DescriptorBuffer() { setp(buffer_, buffer_ + sizeof buffer_); }
  int Error() const { return error_; }

 protected:
  int_type overflow(int_type c) override {
    if (Drain() != 0) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override { return Drain(); }

 private:
  int Drain() {
    const char* p = pbase();
    while (p < pptr()) {
      const ssize_t n = ::write(STDOUT_FILENO, p, static_cast<size_t>(pptr() - p));
      if (n < 0) {
        if (errno == EINTR) continue;
        if (error_ == 0) error_ = errno;
        break;
      }
      p += n;
    }
    // What could not be written is dropped: the failure is reported once.
    setp(buffer_, buffer_ + sizeof buffer_);
    return error_ == 0 ? 0 : -1;
  }

  char buffer_[65536];
  int error_ = 0;
};

DescriptorBuffer* OutputBuffer() {
  static DescriptorBuffer* buffer = [] {
    auto* b = new DescriptorBuffer;  // lives until the program ends
    std::cout.flush();
    std::cout.rdbuf(b);
    return b;
  }();
  return buffer;
}

}  // namespace

void UseDescriptorForStandardOutput() { OutputBuffer(); }

void FlushStandardOutput() {
  DescriptorBuffer* buffer = OutputBuffer();
  std::cout.flush();
  if (buffer->Error() != 0 || !std::cout) {
    const int err = buffer->Error() != 0 ? buffer->Error() : EIO;
    std::cout.clear();
    throw EWriteError("standard output", SystemReasonText(err));
  }
}

}  // namespace velmora::cli
