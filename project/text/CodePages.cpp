#include "project/text/CodePages.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <iconv.h>
#include <memory>
#include <stdexcept>
#include <vector>

#include "analysis/UnitText.h"
#include "project/text/HexText.h"

namespace velmora {

namespace {

struct CodePageRow {
  const char* caption;
  const char* cliName;
  const char* charset;  // nullptr: the locale's
};

constexpr std::array<CodePageRow, kCodePageCount> kRows{{
    {"Default", "default", nullptr},
    {"West Europe", "west-europe", "CP1252"},
    {"East Europe", "east-europe", "CP1250"},
    {"Greek", "greek", "CP1253"},
    {"Turkish", "turkish", "CP1254"},
    {"Baltic", "baltic", "CP1257"},
    {"Arabic", "arabic", "CP1256"},
    {"Russian", "russian", "CP1251"},
    {"Japanese", "japanese", "CP932"},
}};

// Owns an iconv descriptor for one conversion.
class Converter {
 public:
  Converter(const std::string& to, const std::string& from) : cd_(iconv_open(to.c_str(), from.c_str())) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("Code page " + from + " to " + to + " is not available");
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_;
};

// Length of the UTF-8 sequence that starts with byte b (1 for stray bytes).
size_t Utf8SeqLen(unsigned char b) {
  if (b >= 0xF0) return 4;
  if (b >= 0xE0) return 3;
  if (b >= 0xC0) return 2;
  return 1;
}

// Runs iconv over the whole input. onInvalid is called for a sequence that
// does not convert and returns how many input bytes to skip (0 = give up).
template <typename OnInvalid>
std::string Convert(Converter& conv, std::string_view in, OnInvalid onInvalid) {
  iconv(conv.get(), nullptr, nullptr, nullptr, nullptr);
  std::string out;
  out.resize(in.size() * 4 + 16);
  char* inPtr = const_cast<char*>(in.data());
  size_t inLeft = in.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  while (inLeft > 0) {
    const size_t r = iconv(conv.get(), &inPtr, &inLeft, &outPtr, &outLeft);
    if (r != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      const size_t used = static_cast<size_t>(outPtr - out.data());
      out.resize(out.size() * 2);
      outPtr = out.data() + used;
      outLeft = out.size() - used;
      continue;
    }
    // EILSEQ or EINVAL: a sequence the conversion cannot take.
    const size_t used = static_cast<size_t>(outPtr - out.data());
    std::string replacement;
    const size_t skip = onInvalid(std::string_view(inPtr, inLeft), replacement);
    if (skip == 0) break;
    out.resize(std::max(out.size(), used + replacement.size() + inLeft * 4 + 16));
    std::copy(replacement.begin(), replacement.end(), out.begin() + static_cast<std::ptrdiff_t>(used));
    outPtr = out.data() + used + replacement.size();
    outLeft = out.size() - used - replacement.size();
    inPtr += skip;
    inLeft -= skip;
    iconv(conv.get(), nullptr, nullptr, nullptr, nullptr);
  }
  out.resize(static_cast<size_t>(outPtr - out.data()));
  return out;
}

template <typename OnInvalid>
std::string Convert(const std::string& to, const std::string& from, std::string_view in, OnInvalid onInvalid) {
  Converter conv(to, from);
  return Convert(conv, in, onInvalid);
}

// ToUtf8's answer to bytes that do not decode: U+FFFD for the byte, or for
// the lead byte of a two-byte code page with its trail byte.
size_t ReplaceUndecodable(std::string_view rest, const std::string& charset, std::string& repl) {
  repl = "\xEF\xBF\xBD";
  if (charset == "CP932" && rest.size() >= 2) {
    const auto b = static_cast<unsigned char>(rest[0]);
    if (IsShiftJisLeadByte(b)) return 2;
  }
  return 1;
}

// The message for a character that a code page cannot hold: the character
// is the UTF-8 sequence at the start of rest.
std::string UnwritableCharacter(std::string_view rest, const std::string& charset) {
  const size_t n = std::min(Utf8SeqLen(static_cast<unsigned char>(rest[0])), rest.size());
  const std::string ch(rest.substr(0, n));
  uint32_t cpv = static_cast<unsigned char>(ch[0]);
  if (n == 2) cpv = ((cpv & 0x1F) << 6) | (static_cast<unsigned char>(ch[1]) & 0x3F);
  if (n == 3)
    cpv = ((cpv & 0x0F) << 12) | ((static_cast<unsigned char>(ch[1]) & 0x3F) << 6) |
          (static_cast<unsigned char>(ch[2]) & 0x3F);
  if (n == 4)
    cpv = ((cpv & 0x07) << 18) | ((static_cast<unsigned char>(ch[1]) & 0x3F) << 12) |
          ((static_cast<unsigned char>(ch[2]) & 0x3F) << 6) | (static_cast<unsigned char>(ch[3]) & 0x3F);
  return "The character \"" + ch + "\" (U+" + FormatHex(cpv, 4) + ") cannot be written in code page " + charset;
}

// Some conversions succeed without being exact: the Japanese code page
// stores U+00A2 as the byte pair of U+FFE0, and Unicode tag characters are
// dropped. An encoded text is therefore decoded again; where the round trip
// does not give the text back, the first character that does not survive
// it alone is reported, with what it would become. Returns true when
// encoded is exact.
bool CheckRoundTrip(Converter& encode, Converter& decode, const std::string& charset, std::string_view utf8,
                    const std::string& encoded, size_t* offset, std::string* message) {
  const auto keep = [](std::string_view, std::string&) -> size_t { return 0; };
  if (Convert(decode, encoded, keep) == utf8) return true;
  for (size_t i = 0; i < utf8.size();) {
    const size_t n = std::min(Utf8SeqLen(static_cast<unsigned char>(utf8[i])), utf8.size() - i);
    const std::string_view ch = utf8.substr(i, n);
    const std::string back = Convert(decode, Convert(encode, ch, keep), keep);
    if (back != ch) {
      *offset = i;
      *message = UnwritableCharacter(utf8.substr(i), charset) +
                 (back.empty() ? " (it would be dropped)" : " exactly (it would become \"" + back + "\")");
      return false;
    }
    i += n;
  }
  // Every character survives alone, only the whole text does not.
  *offset = 0;
  *message = "The text cannot be written exactly in code page " + charset;
  return false;
}

std::string LocaleName() {
  for (const char* var : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* v = std::getenv(var);
    if (v && *v) return v;
  }
  return "";
}

}  // namespace

std::optional<size_t> FirstInvalidUtf8(std::string_view text) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char b = s[i];
    size_t len = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // the range of the second byte
    if (b < 0x80) len = 1;
    else if (b >= 0xC2 && b <= 0xDF) len = 2;
    else if (b == 0xE0) len = 3, lo = 0xA0;
    else if (b == 0xED) len = 3, hi = 0x9F;  // no surrogates
    else if (b >= 0xE1 && b <= 0xEF) len = 3;
    else if (b == 0xF0) len = 4, lo = 0x90;
    else if (b >= 0xF1 && b <= 0xF3) len = 4;
    else if (b == 0xF4) len = 4, hi = 0x8F;  // at most U+10FFFF
    else return i;
    if (len > n - i) return i;
    if (len > 1 && (s[i + 1] < lo || s[i + 1] > hi)) return i;
    for (size_t k = 2; k < len; ++k)
      if (s[i + k] < 0x80 || s[i + k] > 0xBF) return i;
    i += len;
  }
  return std::nullopt;
}

const char* CodePageCaption(CodePage cp) { return kRows.at(static_cast<size_t>(cp)).caption; }
const char* CodePageCliName(CodePage cp) { return kRows.at(static_cast<size_t>(cp)).cliName; }

std::optional<CodePage> CodePageFromCliName(std::string_view name) {
  for (size_t i = 0; i < kRows.size(); ++i)
    if (name == kRows[i].cliName) return static_cast<CodePage>(i);
  return std::nullopt;
}

std::string DefaultLocaleCharset() {
  const std::string loc = LocaleName();
  const std::string lang = loc.substr(0, loc.find_first_of("_.@"));
  static const std::array<std::pair<const char*, const char*>, 22> kByLanguage{{
      {"ru", "CP1251"}, {"uk", "CP1251"}, {"be", "CP1251"}, {"bg", "CP1251"}, {"sr", "CP1251"}, {"mk", "CP1251"},
      {"ja", "CP932"},
      {"pl", "CP1250"}, {"cs", "CP1250"}, {"sk", "CP1250"}, {"hu", "CP1250"}, {"sl", "CP1250"}, {"hr", "CP1250"},
      {"ro", "CP1250"},
      {"el", "CP1253"}, {"tr", "CP1254"},
      {"lt", "CP1257"}, {"lv", "CP1257"}, {"et", "CP1257"},
      {"ar", "CP1256"}, {"fa", "CP1256"}, {"ur", "CP1256"},
  }};
  for (const auto& [code, charset] : kByLanguage)
    if (lang == code) return charset;
  return "CP1252";
}

std::string IconvCharset(CodePage cp) {
  const char* cs = kRows.at(static_cast<size_t>(cp)).charset;
  return cs ? cs : DefaultLocaleCharset();
}

std::string ToUtf8(std::string_view bytes, const std::string& charset) {
  return Convert("UTF-8", charset, bytes, [&](std::string_view rest, std::string& repl) {
    return ReplaceUndecodable(rest, charset, repl);
  });
}

std::string ToUtf8(std::string_view bytes, CodePage cp) { return ToUtf8(bytes, IconvCharset(cp)); }

std::string FromUtf8(std::string_view utf8, const std::string& charset) {
  if (const auto bad = FirstInvalidUtf8(utf8)) {
    throw std::runtime_error("The text is not valid UTF-8: byte " +
                             FormatHex0x(static_cast<unsigned char>(utf8[*bad]), 2) + " at position " +
                             std::to_string(*bad + 1) + " does not begin a character.");
  }
  Converter encode(charset, "UTF-8");
  Converter decode("UTF-8", charset);
  std::string out = Convert(encode, utf8, [&](std::string_view rest, std::string&) -> size_t {
    throw std::runtime_error(UnwritableCharacter(rest, charset));
  });
  size_t offset = 0;
  std::string message;
  if (!CheckRoundTrip(encode, decode, charset, utf8, out, &offset, &message)) throw std::runtime_error(message);
  return out;
}

std::string FromUtf8(std::string_view utf8, CodePage cp) { return FromUtf8(utf8, IconvCharset(cp)); }

std::string Cp932ToUtf16LE(std::string_view bytes) {
  return Convert("UTF-16LE", "CP932", bytes, [](std::string_view rest, std::string&) -> size_t {
    const auto b = static_cast<unsigned char>(rest[0]);
    if (rest.size() >= 2 && IsShiftJisLeadByte(b)) return 2;
    return 1;
  });
}

struct TCodePageEncoder::Impl {
  std::string charset;
  Converter conv;
  Converter back;
  explicit Impl(std::string cs) : charset(std::move(cs)), conv(charset, "UTF-8"), back("UTF-8", charset) {}
};

TCodePageEncoder::TCodePageEncoder(CodePage cp) : impl_(std::make_unique<Impl>(IconvCharset(cp))) {}
TCodePageEncoder::~TCodePageEncoder() = default;

std::optional<std::string> TCodePageEncoder::Encode(std::string_view utf8, Failure* failure) {
  bool failed = false;
  std::string out = Convert(impl_->conv, utf8, [&](std::string_view rest, std::string&) -> size_t {
    failed = true;
    if (failure) {
      failure->Offset = utf8.size() - rest.size();
      failure->Message = UnwritableCharacter(rest, impl_->charset);
    }
    return 0;
  });
  if (failed) return std::nullopt;
  size_t offset = 0;
  std::string message;
  if (!CheckRoundTrip(impl_->conv, impl_->back, impl_->charset, utf8, out, &offset, &message)) {
    if (failure) *failure = {offset, message};
    return std::nullopt;
  }
  return out;
}

struct TCodePageDecoder::Impl {
  std::string charset;
  Converter conv;
  explicit Impl(std::string cs) : charset(std::move(cs)), conv("UTF-8", charset) {}
};

TCodePageDecoder::TCodePageDecoder(CodePage cp) : impl_(std::make_unique<Impl>(IconvCharset(cp))) {}
TCodePageDecoder::~TCodePageDecoder() = default;

std::string TCodePageDecoder::Decode(std::string_view bytes) {
  if (bytes.empty()) return {};
  return Convert(impl_->conv, bytes, [&](std::string_view rest, std::string& repl) {
    return ReplaceUndecodable(rest, impl_->charset, repl);
  });
}

bool HasCodePage932() {
  const iconv_t cd = iconv_open("UTF-16LE", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  iconv_close(cd);
  return true;
}

}  // namespace velmora
