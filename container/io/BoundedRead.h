// An input read whole, within a limit: a file whose size is over the limit
// is refused before anything is allocated or read, and standard input,
// which tells no size, is read no further than one byte past it. The
// refusal is EFormatError naming the input, what it holds and limitText
// ("a phrase file may hold at most 64 MB").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmora {

// The bytes of the file at path; EFOpenError for what is not a regular
// file.
std::string ReadFileWithin(const std::string& path, uint64_t maxBytes, std::string_view limitText);

// The bytes of standard input, to its end.
std::string ReadStandardInputWithin(uint64_t maxBytes, std::string_view limitText);

}  // namespace velmora
