// UTF-8 and UTF-16 as the exchange files hold them: converting between
// the two, and finding the line of a position in a file's text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
inline constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
inline constexpr std::string_view kUtf16BeBom = "\xFE\xFF";

// Checking UTF-8: FirstInvalidUtf8 (project/text/CodePages.h).

// UTF-16 code units (two bytes each, little- or big-endian) as UTF-8. A
// unit that is not part of a well-formed sequence becomes U+FFFD unless
// badOffset is given: then decoding stops there and *badOffset holds the
// byte offset of that unit. A trailing odd byte counts as such a unit.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian, std::optional<size_t>* badOffset = nullptr);

// Appends one code point (at most U+10FFFF) as UTF-8.
void AppendUtf8(std::string& out, uint32_t codePoint);

// The code points of a UTF-8 text; a byte that starts no well-formed
// character gives U+FFFD and decoding goes on after it.
std::vector<uint32_t> CodePoints(std::string_view utf8);
// The code point at byte i of a UTF-8 text (i < size), read as CodePoints
// reads it; i moves past it.
uint32_t NextCodePoint(std::string_view utf8, size_t& i);

// Well-formed UTF-8 as UTF-16 little-endian code units.
std::string Utf8ToUtf16Le(std::string_view utf8);

// The line of an offset in a text, for offsets that come roughly in order
// as a parser reports them: each call counts only from the previous offset,
// so a pass over a file costs one reading of it. Lines count from 1; a line
// ends after each line feed.
class TLineCounter {
 public:
  explicit TLineCounter(std::string_view text) : text_(text) {}
  size_t LineAt(size_t offset);

 private:
  std::string_view text_;
  size_t offset_ = 0;
  size_t line_ = 1;
};

}  // namespace velmora
