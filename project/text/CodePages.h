// The nine display code pages and the conversion of the units' 8-bit texts
// to and from UTF-8 through iconv. Conversion only changes how a text is
// shown or typed; the bytes of the project never change.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/TextMode.h"

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

// The display code page for the texts phrase extraction found: Japanese
// for Japanese texts, Default otherwise.
constexpr CodePage DisplayCodePageFor(TextMode mode) {
  return mode == TextMode::Japanese ? CodePage::Japanese : CodePage::Default;
}

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

// Converts many UTF-8 texts into one code page through one converter, and
// tells where a text holds a character the code page cannot.
class TCodePageEncoder {
 public:
  explicit TCodePageEncoder(CodePage cp);
  ~TCodePageEncoder();
  TCodePageEncoder(const TCodePageEncoder&) = delete;
  TCodePageEncoder& operator=(const TCodePageEncoder&) = delete;

  struct Failure {
    size_t Offset = 0;    // byte offset of the character in the UTF-8 text
    std::string Message;  // the text FromUtf8 raises for it
  };
  // The text in the code page; nullopt (with *failure filled) when a
  // character cannot be written.
  std::optional<std::string> Encode(std::string_view utf8, Failure* failure = nullptr);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Decodes many 8-bit texts of one code page to UTF-8 through one
// converter, as ToUtf8 does.
class TCodePageDecoder {
 public:
  explicit TCodePageDecoder(CodePage cp);
  ~TCodePageDecoder();
  TCodePageDecoder(const TCodePageDecoder&) = delete;
  TCodePageDecoder& operator=(const TCodePageDecoder&) = delete;
  std::string Decode(std::string_view bytes);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Code page 932 to UTF-16 little-endian code units (as bytes). Returns an
// empty string when nothing converts. Invalid sequences are skipped.
std::string Cp932ToUtf16LE(std::string_view bytes);
// True when the system's iconv knows code page 932.
bool HasCodePage932();

}  // namespace velmora
