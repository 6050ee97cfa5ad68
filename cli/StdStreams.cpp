#include "cli/StdStreams.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <iostream>

#include "container/io/AtomicFile.h"
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
