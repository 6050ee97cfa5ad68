// Files named on the command line that may also be the standard streams:
// "-" is standard output for an output and standard input for an input, and
// an output that names a device or a pipe (/dev/stdout, a FIFO) is written
// straight into it, since nothing can be renamed over it.
#pragma once

#include <string>
#include <string_view>

namespace velmora::cli {

// True for "-".
inline bool IsStdStream(std::string_view path) { return path == "-"; }

// True when path is "-" or names something other than a regular file that
// exists (a terminal, /dev/stdout, a FIFO): such an output is written in
// place, not beside it and renamed.
bool IsStreamOutput(const std::string& path);

// Writes bytes to path: "-" to standard output, a stream output (above)
// directly, any other path atomically. A failed write raises EWriteError
// with the system's reason.
void WriteOutput(const std::string& path, std::string_view bytes);

// How an output is named in messages: "standard output" for "-".
std::string OutputName(const std::string& path);

// Makes std::cout write to descriptor 1 through a buffer that keeps the
// reason of a failed write. Called once before a command runs.
void UseDescriptorForStandardOutput();

// Flushes standard output and raises EWriteError when anything written to
// it was lost (a full disk, a closed pipe).
void FlushStandardOutput();

}  // namespace velmora::cli
