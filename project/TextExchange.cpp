#include "project/TextExchange.h"

#include <cstdint>
#include <limits>

#include "container/AtomicFile.h"
#include "container/StreamErrors.h"

namespace velmora {

namespace {

// The phrase's source text: its Length bytes at StringAddress, clipped to
// the image.
std::string_view SourceBytes(const PhraseTable& table, const TPhrase& p) {
  const auto& image = table.UnitImage;
  if (p.StringAddress >= image.size()) return {};
  const size_t n = std::min<size_t>(p.Length, image.size() - p.StringAddress);
  return {reinterpret_cast<const char*>(image.data()) + p.StringAddress, n};
}

// The lines of the text up to its first NUL; lines end at CR LF, at a lone
// CR or at a lone LF.
std::vector<std::string_view> SplitLines(std::string_view text) {
  const size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

// The index of an entry line: its decimal digits before the first "=", in
// order, every other character skipped. -1 when there is no digit.
int64_t EntryIndex(std::string_view beforeEquals) {
  std::string digits;
  for (const char c : beforeEquals)
    if (c >= '0' && c <= '9') digits.push_back(c);
  if (digits.empty()) return -1;
  int64_t value = 0;
  for (const char c : digits) {
    value = value * 10 + (c - '0');
    if (value > std::numeric_limits<int32_t>::max()) throw EConvertError(digits);
  }
  return value;
}

}  // namespace

std::string ExportPhrases(const PhraseTable& table, const std::vector<int32_t>& rows, CodePage codePage) {
  const bool utf16 = codePage == CodePage::Japanese && HasCodePage932();
  std::string out;
  if (utf16) out.append("\xFF\xFE");
  std::string entry;
  for (const int32_t row : rows) {
    if (row < 0 || static_cast<size_t>(row) >= table.Phrases.size()) continue;
    entry.assign(std::to_string(row));
    entry.append(" = ");
    entry.append(SourceBytes(table, table.Phrases[static_cast<size_t>(row)]));
    entry.append("\r\n");
    if (utf16) {
      out.append(Cp932ToUtf16LE(entry));  // an entry that converts to nothing adds nothing
    } else {
      out.append(entry);
    }
  }
  return out;
}

void WriteExport(const std::string& path, std::string_view bytes) {
  WriteFileAtomically(path, bytes.data(), bytes.size());
}

int ImportPhrases(PhraseTable& table, std::string_view bytes) {
  int count = 0;
  int64_t current = -1;  // the phrase that continuation lines extend
  for (const std::string_view line : SplitLines(bytes)) {
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
      // A continuation line.
      if (line.size() >= 2 && current >= 0) {
        std::string& text = table.EditedTexts[static_cast<size_t>(table.Phrases[static_cast<size_t>(current)].EditIndex)];
        text.push_back('\n');
        text.append(line);
      }
      continue;
    }
    if (eq < 1 || line.size() - eq - 1 < 2) continue;  // ignored; the current phrase stays

    current = -1;
    const int64_t index = EntryIndex(line.substr(0, eq));
    std::string_view text = line.substr(eq + 2);
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    if (text.empty() || index < 0 || static_cast<uint64_t>(index) >= table.Phrases.size()) continue;
    if (table.Phrases[static_cast<size_t>(index)].Flags & pfLink) continue;
    table.AppendEditedText(static_cast<size_t>(index), std::string(text));
    ++count;
    current = index;
  }
  return count;
}

std::string ImportMessage(int count) {
  return std::to_string(count) + " new phrase(s) has been added or replaced.";
}

}  // namespace velmora
