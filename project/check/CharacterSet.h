// The characters a unit's font can show, read from a UTF-8 text file that
// lists them (in any order, on any number of lines). The check of the
// character set reports every other character of a translation.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <string_view>

namespace velmora {

// The characters of the text: every code point from U+0020 on (line breaks
// and other control characters only separate them). A byte-order mark at
// the start is skipped. Text that is not UTF-8 raises EFormatError naming
// the byte's position.
std::set<uint32_t> ParseCharacterSet(std::string_view utf8);
// The same for the file at path; EFOpenError / EReadError when it cannot be read.
std::set<uint32_t> LoadCharacterSet(const std::string& path);

}  // namespace velmora
