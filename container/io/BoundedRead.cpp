#include "container/io/BoundedRead.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "container/io/Stream.h"
#include "container/io/StreamErrors.h"

namespace velmora {

std::string ReadFileWithin(const std::string& path, uint64_t maxBytes, std::string_view limitText) {
  TFileStream file(path, TFileStream::Mode::OpenRead);
  const auto size = static_cast<uint64_t>(file.Size());
  if (size > maxBytes)
    throw EFormatError(path + ": the file holds " + std::to_string(size) + " bytes; " + std::string(limitText));
  std::string bytes(static_cast<size_t>(size), '\0');
  file.ReadBuffer(bytes.data(), bytes.size());
  return bytes;
}

std::string ReadStandardInputWithin(uint64_t maxBytes, std::string_view limitText) {
  // A pipe tells no size: read in pieces and stop one byte past the limit.
  std::string bytes;
  char buffer[65536];
  for (;;) {
    const uint64_t room = maxBytes + 1 - bytes.size();
    const ssize_t n = ::read(STDIN_FILENO, buffer, static_cast<size_t>(std::min<uint64_t>(sizeof buffer, room)));
    if (n < 0) {
      if (errno == EINTR) continue;
      throw EReadError("standard input", SystemReasonText(errno));
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
    if (bytes.size() > maxBytes)
      throw EFormatError("standard input: the input holds more than " + std::to_string(maxBytes) + " bytes; " +
                         std::string(limitText));
  }
  return bytes;
}

}  // namespace velmora
