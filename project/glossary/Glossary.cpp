#include "project/glossary/Glossary.h"

#include <algorithm>
#include <map>

#include "container/io/BoundedRead.h"
#include "container/io/Stream.h"
#include "container/io/StreamErrors.h"
#include "project/text/CodePages.h"
#include "project/text/Unicode.h"

namespace velmora {

namespace {

[[noreturn]] void Fail(size_t line, const std::string& what) {
  throw EFormatError("line " + std::to_string(line) + ": " + what);
}

bool SameLetters(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
           return lower(x) == lower(y);
         });
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\r')) s.remove_suffix(1);
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  return s;
}

bool HasExtension(std::string_view path, std::string_view ext) {
  return path.size() > ext.size() && SameLetters(path.substr(path.size() - ext.size()), ext);
}

}  // namespace

Glossary ReadTabbedGlossary(std::string_view bytes) {
  if (bytes.substr(0, 3) == kUtf8Bom) bytes.remove_prefix(3);
  if (const auto bad = FirstInvalidUtf8(bytes)) {
    const size_t line =
        1 + static_cast<size_t>(std::count(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(*bad), '\n'));
    Fail(line, "the bytes are not UTF-8");
  }
  Glossary g;
  std::map<std::string, size_t, std::less<>> bySource;  // entry of each source term
  size_t line = 0;
  for (size_t start = 0; start < bytes.size();) {
    ++line;
    size_t end = bytes.find('\n', start);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view text = bytes.substr(start, end - start);
    start = end + 1;
    if (text.find('\0') != std::string_view::npos) Fail(line, "a NUL character");
    if (Trimmed(text).empty() || Trimmed(text)[0] == '#') continue;
    std::vector<std::string_view> fields;
    for (size_t from = 0;;) {
      const size_t tab = text.find('\t', from);
      fields.push_back(Trimmed(text.substr(from, tab == std::string_view::npos ? std::string_view::npos : tab - from)));
      if (tab == std::string_view::npos) break;
      from = tab + 1;
    }
    if (fields.size() < 2 || fields.size() > 3)
      Fail(line, "a line holds a source term, a tab, the target term and, optionally, a tab and \"forbidden\"");
    if (fields[0].empty() || fields[1].empty()) Fail(line, "a term is empty");
    const bool forbidden = fields.size() == 3 && !fields[2].empty();
    if (forbidden && !SameLetters(fields[2], "forbidden"))
      Fail(line, "the third field is \"forbidden\" or nothing, not \"" + std::string(fields[2]) + "\"");
    auto it = bySource.find(fields[0]);
    if (it == bySource.end()) {
      it = bySource.emplace(std::string(fields[0]), g.Entries.size()).first;
      GlossaryEntry e;
      e.Sources.emplace_back(fields[0]);
      e.Line = line;
      g.Entries.push_back(std::move(e));
    }
    GlossaryEntry& e = g.Entries[it->second];
    (forbidden ? e.Forbidden : e.Targets).emplace_back(fields[1]);
  }
  return g;
}

Glossary LoadGlossary(const std::string& path, const GlossaryLanguages& languages) {
  const std::string bytes =
      ReadFileWithin(path, kMaxGlossaryFileBytes,
                      "a glossary may hold at most " + std::to_string(kMaxGlossaryFileBytes >> 20) + " MB");
  size_t first = bytes.compare(0, 3, kUtf8Bom) == 0 ? 3 : 0;
  while (first < bytes.size() && (bytes[first] == ' ' || bytes[first] == '\n' || bytes[first] == '\r')) ++first;
  const bool xml = HasExtension(path, ".tbx") || HasExtension(path, ".xml") ||
                   (first < bytes.size() && bytes[first] == '<') || bytes.compare(0, 2, kUtf16LeBom) == 0 ||
                   bytes.compare(0, 2, kUtf16BeBom) == 0;
  try {
    return xml ? ReadTbx(bytes, languages) : ReadTabbedGlossary(bytes);
  } catch (const EFormatError& e) {
    throw EFormatError(path + ": " + e.what());
  }
}

}  // namespace velmora
