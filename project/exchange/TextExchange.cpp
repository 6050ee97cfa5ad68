#include "project/exchange/TextExchange.h"

#include <cstdint>
#include <limits>

#include "container/io/AtomicFile.h"
#include "container/io/StreamErrors.h"
#include "project/check/PrintfFault.h"
#include "project/text/CodePages.h"
#include "project/text/Unicode.h"

namespace velmora {

namespace {

// Digits of a too-large index quoted in the error message; a longer run is
// cut and marked with "...".
constexpr size_t kQuotedDigits = 40;

// The phrase's source text: its Length bytes at StringAddress, clipped to
// the image.
std::string_view SourceBytes(const PhraseTable& table, const TPhrase& p) {
  const auto& image = table.UnitImage;
  if (p.StringAddress >= image.size()) return {};
  const size_t n = std::min<size_t>(p.Length, image.size() - p.StringAddress);
  return {reinterpret_cast<const char*>(image.data()) + p.StringAddress, n};
}

// The next line of text from pos (lines end at CR LF, at a lone CR or at a
// lone LF); false at the end. Nothing is kept between lines, so a file of
// any number of lines is read in constant memory.
bool NextLine(std::string_view text, size_t& pos, std::string_view& line) {
  if (pos >= text.size()) return false;
  size_t end = pos;
  while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
  line = text.substr(pos, end - pos);
  if (end < text.size()) {
    if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
    ++end;
  }
  pos = end;
  return true;
}

// The index of an entry line: its decimal digits before the first "=", in
// order, every other character skipped. -1 when there is no digit.
int64_t EntryIndex(std::string_view beforeEquals) {
  int64_t value = 0;
  bool any = false;
  for (size_t i = 0; i < beforeEquals.size(); ++i) {
    const char c = beforeEquals[i];
    if (c < '0' || c > '9') continue;
    any = true;
    value = value * 10 + (c - '0');
    if (value <= std::numeric_limits<int32_t>::max()) continue;
    // Too large: quote the digits, at most kQuotedDigits of them.
    std::string digits;
    size_t count = 0;
    for (const char d : beforeEquals) {
      if (d < '0' || d > '9') continue;
      if (++count <= kQuotedDigits) digits.push_back(d);
    }
    if (count > kQuotedDigits) digits += "...";
    throw EConvertError(digits);
  }
  return any ? value : -1;
}

// The length of a UTF-8 sequence from its first byte (1 for stray bytes).
size_t SeqLen(unsigned char b) { return b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1; }

// Counts characters, one byte each in 8-bit text, up to limit.
size_t CharCount(std::string_view s, bool utf8, size_t limit) {
  if (!utf8) return std::min(s.size(), limit);
  size_t n = 0;
  for (size_t i = 0; i < s.size() && n < limit; i += SeqLen(static_cast<unsigned char>(s[i]))) ++n;
  return n;
}

// s without its first character.
std::string_view DropChar(std::string_view s, bool utf8) {
  if (s.empty()) return s;
  return s.substr(std::min(s.size(), utf8 ? SeqLen(static_cast<unsigned char>(s[0])) : size_t{1}));
}

// The file's text in the chosen encoding: 8-bit bytes as they are, or the
// text of a Unicode file as UTF-8. It ends at the first NUL character.
struct FileText {
  std::string_view text;
  std::string storage;
  bool utf8 = false;
};

FileText DecodeFile(std::string_view bytes, TextEncoding encoding) {
  FileText f;
  bool bigEndian = false;
  if (encoding == TextEncoding::Auto) {
    if (bytes.substr(0, 2) == kUtf16LeBom) encoding = TextEncoding::Utf16;
    else if (bytes.substr(0, 3) == kUtf8Bom) encoding = TextEncoding::Utf8;
    else encoding = TextEncoding::EightBit;
  }
  if (encoding == TextEncoding::Utf16) {
    if (bytes.substr(0, 2) == kUtf16LeBom) {
      bytes.remove_prefix(2);
    } else if (bytes.substr(0, 2) == kUtf16BeBom) {
      bytes.remove_prefix(2);
      bigEndian = true;
    }
    f.storage = Utf16ToUtf8(bytes, bigEndian);
    f.text = f.storage;
    f.utf8 = true;
  } else {
    if (encoding == TextEncoding::Utf8 && bytes.substr(0, 3) == kUtf8Bom) bytes.remove_prefix(3);
    f.text = bytes;
    f.utf8 = encoding == TextEncoding::Utf8;
  }
  const size_t nul = f.text.find('\0');
  if (nul != std::string_view::npos) f.text = f.text.substr(0, nul);
  return f;
}

// An entry of a text file while its lines are read.
struct PendingEntry {
  size_t index = 0;
  size_t line = 0;
  std::string text;
  bool tooLong = false;
  std::string problem;  // why a line did not convert
  size_t problemLine = 0;
};

// Reads the entries of a text file into the table.
class TextImport {
 public:
  TextImport(PhraseTable& table, bool utf8, CodePage page) : table_(table), utf8_(utf8) {
    if (utf8_) encoder_.emplace(page);
  }

  void Run(std::string_view text) {
    size_t pos = 0;
    std::string_view line;
    while (NextLine(text, pos, line)) {
      ++lineNo_;
      const size_t eq = line.find('=');
      if (eq == std::string_view::npos) {
        // A continuation line.
        if (pending_ && CharCount(line, utf8_, 2) >= 2) Append(line, true);
        continue;
      }
      if (eq < 1 || CharCount(line.substr(eq + 1), utf8_, 2) < 2) continue;  // ignored; the current phrase stays

      Flush();
      ++report_.Entries;
      const int64_t index = EntryIndex(line.substr(0, eq));
      std::string_view entryText = DropChar(line.substr(eq + 1), utf8_);
      while (!entryText.empty() && entryText.front() == ' ') entryText.remove_prefix(1);
      if (entryText.empty() || index < 0 || static_cast<uint64_t>(index) >= table_.Phrases.size()) continue;
      if (table_.Phrases[static_cast<size_t>(index)].Flags & pfLink) continue;
      pending_.emplace();
      pending_->index = static_cast<size_t>(index);
      pending_->line = lineNo_;
      Append(entryText, false);
    }
    Flush();
  }

  // Attaches the entry read so far.
  void Flush() {
    if (!pending_) return;
    PendingEntry p = std::move(*pending_);
    pending_.reset();
    if (!p.problem.empty()) {
      ++report_.Unrepresentable;
      report_.Attention(p.problemLine, "phrase " + std::to_string(p.index) + ": " + p.problem + "; the entry is skipped");
      return;
    }
    if (p.tooLong) {
      ++report_.TooLong;
      report_.Attention(p.line, "phrase " + std::to_string(p.index) + ": the text is longer than " +
                               std::to_string(kMaxEditedTextLength) + " bytes; the entry is skipped");
      return;
    }
    const std::string note = PrintfImportNote(p.index, table_.OriginText(table_.Phrases[p.index]), p.text);
    if (!note.empty()) report_.Note(p.line, note);
    table_.AppendEditedText(p.index, std::move(p.text));
    ++report_.Applied;
  }

  ImportReport& Report() { return report_; }

 private:
  void Append(std::string_view piece, bool continuation) {
    PendingEntry& p = *pending_;
    if (p.tooLong || !p.problem.empty()) return;
    std::string converted;
    if (utf8_) {
      TCodePageEncoder::Failure failure;
      std::optional<std::string> bytes;
      if (FirstInvalidUtf8(piece)) {
        failure.Message = "the line holds bytes that are not UTF-8";
      } else {
        bytes = encoder_->Encode(piece, &failure);
      }
      if (!bytes) {
        p.problem = failure.Message;
        p.problemLine = lineNo_;
        return;
      }
      converted = std::move(*bytes);
      piece = converted;
    }
    if (p.text.size() + (continuation ? 1 : 0) + piece.size() > kMaxEditedTextLength) {
      p.tooLong = true;
      p.text.clear();
      p.text.shrink_to_fit();
      return;
    }
    if (continuation) p.text.push_back('\n');
    p.text.append(piece);
  }

  PhraseTable& table_;
  bool utf8_;
  std::optional<TCodePageEncoder> encoder_;
  std::optional<PendingEntry> pending_;
  size_t lineNo_ = 0;
  ImportReport report_;
};

}  // namespace

std::optional<TextEncoding> TextEncodingFromName(std::string_view name) {
  if (name == "8bit") return TextEncoding::EightBit;
  if (name == "utf-8") return TextEncoding::Utf8;
  if (name == "utf-16") return TextEncoding::Utf16;
  return std::nullopt;
}

std::string ExportPhrases(const PhraseTable& table, const std::vector<int32_t>& rows, CodePage codePage) {
  const bool utf16 = codePage == CodePage::Japanese && HasCodePage932();
  std::string out;
  if (utf16) out.append(kUtf16LeBom);
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

std::string ExportPhrases(const PhraseTable& table, const std::vector<int32_t>& rows, CodePage codePage,
                          TextEncoding encoding) {
  switch (encoding) {
    case TextEncoding::Auto:
      return ExportPhrases(table, rows, codePage);
    case TextEncoding::EightBit:
      // The 8-bit form of any code page but Japanese is exactly the bytes.
      return ExportPhrases(table, rows, codePage == CodePage::Japanese ? CodePage::Default : codePage);
    case TextEncoding::Utf16:
      if (codePage == CodePage::Japanese && HasCodePage932()) return ExportPhrases(table, rows, codePage);
      return std::string(kUtf16LeBom) +
             Utf8ToUtf16Le(ToUtf8(ExportPhrases(table, rows, codePage, TextEncoding::EightBit), codePage));
    case TextEncoding::Utf8:
      return std::string(kUtf8Bom) + ToUtf8(ExportPhrases(table, rows, codePage, TextEncoding::EightBit), codePage);
  }
  return {};
}

void WriteExport(const std::string& path, std::string_view bytes) {
  WriteFileAtomically(path, bytes.data(), bytes.size());
}

ImportReport ImportPhrases(PhraseTable& table, std::string_view bytes, TextEncoding encoding, CodePage codePage) {
  const FileText file = DecodeFile(bytes, encoding);
  TextImport import(table, file.utf8, codePage);
  import.Run(file.text);  // an index too large raises; the entries before it are attached
  ImportReport& report = import.Report();
  report.Headline = ImportMessage(report.Applied);
  report.Changed = report.Applied > 0;
  return std::move(report);
}

int ImportPhrases(PhraseTable& table, std::string_view bytes) {
  return ImportPhrases(table, bytes, TextEncoding::Auto, CodePage::Default).Applied;
}

std::string ImportMessage(int count) {
  return std::to_string(count) + " new phrase(s) has been added or replaced.";
}

}  // namespace velmora
