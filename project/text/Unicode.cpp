#include "project/text/Unicode.h"

#include <algorithm>
#include <cstdint>

#include "project/text/CodePages.h"

namespace velmora {

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

namespace {

void AppendUtf16Le(std::string& out, uint32_t unit) {
  out.push_back(static_cast<char>(unit & 0xFF));
  out.push_back(static_cast<char>(unit >> 8));
}

}  // namespace

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian, std::optional<size_t>* badOffset) {
  if (badOffset) badOffset->reset();
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  const auto unitAt = [&](size_t i) -> uint32_t {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? (a << 8 | b) : (b << 8 | a);
  };
  const auto bad = [&](size_t at) {
    if (badOffset) {
      *badOffset = at;
      return true;
    }
    AppendUtf8(out, 0xFFFD);
    return false;
  };
  size_t i = 0;
  while (i + 1 < bytes.size()) {
    const uint32_t u = unitAt(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
      const uint32_t v = unitAt(i + 2);
      if (v >= 0xDC00 && v <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00));
        i += 4;
        continue;
      }
    }
    if (u >= 0xD800 && u <= 0xDFFF) {
      if (bad(i)) return out;
    } else {
      AppendUtf8(out, u);
    }
    i += 2;
  }
  if (i < bytes.size()) bad(i);
  return out;
}

std::string Utf8ToUtf16Le(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size() * 2);
  const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
  size_t i = 0;
  while (i < utf8.size()) {
    const unsigned char b = s[i];
    uint32_t cp = b;
    size_t len = 1;
    if (b >= 0xF0) {
      cp = b & 0x07;
      len = 4;
    } else if (b >= 0xE0) {
      cp = b & 0x0F;
      len = 3;
    } else if (b >= 0xC0) {
      cp = b & 0x1F;
      len = 2;
    }
    len = std::min(len, utf8.size() - i);
    for (size_t k = 1; k < len; ++k) cp = (cp << 6) | (s[i + k] & 0x3F);
    i += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      AppendUtf16Le(out, 0xD800 + (cp >> 10));
      AppendUtf16Le(out, 0xDC00 + (cp & 0x3FF));
    } else {
      AppendUtf16Le(out, cp);
    }
  }
  return out;
}

size_t TLineCounter::LineAt(size_t offset) {
  offset = std::min(offset, text_.size());
  const auto at = [&](size_t o) { return text_.begin() + static_cast<std::ptrdiff_t>(o); };
  if (offset >= offset_) {
    line_ += static_cast<size_t>(std::count(at(offset_), at(offset), '\n'));
  } else {
    line_ -= static_cast<size_t>(std::count(at(offset), at(offset_), '\n'));
  }
  offset_ = offset;
  return line_;
}

uint32_t NextCodePoint(std::string_view utf8, size_t& i) {
  const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
  const unsigned char b = s[i];
  if (b < 0x80) {
    ++i;
    return b;
  }
  // A well-formed character is one whose first byte FirstInvalidUtf8
  // does not stop at.
  if (FirstInvalidUtf8(utf8.substr(i, 4)) == size_t{0}) {
    ++i;
    return 0xFFFD;
  }
  const size_t len = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : 2;
  uint32_t cp = b & (len == 2 ? 0x1Fu : len == 3 ? 0x0Fu : 0x07u);
  for (size_t k = 1; k < len; ++k) cp = (cp << 6) | (s[i + k] & 0x3Fu);
  i += len;
  return cp;
}

std::vector<uint32_t> CodePoints(std::string_view utf8) {
  std::vector<uint32_t> out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      out.push_back(b);
      ++i;
    } else {
      out.push_back(NextCodePoint(utf8, i));
    }
  }
  return out;
}

}  // namespace velmora
