// The nine display code pages and the conversion of the units' 8-bit texts
// to and from UTF-8 through iconv. Conversion only changes how a text is
// shown or typed; the bytes of the project never change.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace velmora {

// In the order of the Code Page menu; the value is the menu entry's tag.
enum class CodePage {
  Default = 0,
  WestEurope = 1,
  EastEurope = 2,
  Greek = 3,
  Turkish = 4,
  Baltic = 5,
  Arabic = 6,
  Russian = 7,
  Japanese = 8,
};
constexpr int kCodePageCount = 9;

// The menu caption: "Default", "West Europe", ... "Japanese".
const char* CodePageCaption(CodePage cp);
// The command-line name: "default", "west-europe", ... "japanese".
const char* CodePageCliName(CodePage cp);
std::optional<CodePage> CodePageFromCliName(std::string_view name);

// The 8-bit code page that matches the user's locale (LC_ALL, LC_CTYPE,
// LANG): Russian gives Windows-1251, Japanese Shift JIS, Polish or Czech
// Windows-1250, and so on; Windows-1252 otherwise.
std::string DefaultLocaleCharset();
// The iconv name of a code page ("CP1252", ..., "CP932"); Default resolves
// through DefaultLocaleCharset().
std::string IconvCharset(CodePage cp);

// 8-bit bytes to UTF-8. Bytes that do not convert become U+FFFD.
std::string ToUtf8(std::string_view bytes, CodePage cp);
std::string ToUtf8(std::string_view bytes, const std::string& charset);

// The position of the first byte that does not begin a well-formed UTF-8
// character (overlong forms, surrogates and values above U+10FFFF count as
// malformed), or nullopt for valid UTF-8.
std::optional<size_t> FirstInvalidUtf8(std::string_view text);

// UTF-8 to 8-bit bytes. Text that is not valid UTF-8 raises
// std::runtime_error saying so and where; a character the code page cannot
// hold raises std::runtime_error naming the character.
std::string FromUtf8(std::string_view utf8, CodePage cp);
std::string FromUtf8(std::string_view utf8, const std::string& charset);

// Code page 932 to UTF-16 little-endian code units (as bytes). Returns an
// empty string when nothing converts. Invalid sequences are skipped.
std::string Cp932ToUtf16LE(std::string_view bytes);
// True when the system's iconv knows code page 932.
bool HasCodePage932();

}  // namespace velmora
