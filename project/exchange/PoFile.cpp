#include "project/exchange/PoFile.h"

#include <optional>

#include "container/io/StreamErrors.h"
#include "project/text/CodePages.h"
#include "project/text/HexText.h"
#include "project/text/Unicode.h"
#include "velmora/Version.h"

namespace velmora {

namespace {

// ---------------------------------------------------------------- writing

std::string Escaped(std::string_view s) {
  std::string out;
  out.reserve(s.size() + 8);
  for (const char c : s) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\a': out += "\\a"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      case '\v': out += "\\v"; break;
      default: out += c;
    }
  }
  return out;
}

// keyword "text", or for a text with inner line feeds keyword "" and one
// line per piece, each piece ending after its line feed (gettext's layout).
void AppendString(std::string& out, std::string_view keyword, std::string_view text) {
  out.append(keyword);
  const size_t inner = text.find('\n');
  if (inner == std::string_view::npos || inner + 1 == text.size()) {
    out.append(" \"").append(Escaped(text)).append("\"\n");
    return;
  }
  out += " \"\"\n";
  size_t start = 0;
  while (start < text.size()) {
    const size_t nl = text.find('\n', start);
    const size_t end = nl == std::string_view::npos ? text.size() : nl + 1;
    out.append("\"").append(Escaped(text.substr(start, end - start))).append("\"\n");
    start = end;
  }
}

// A header value on one line: control characters become blanks.
std::string HeaderValue(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20) c = ' ';
  return out;
}

// ---------------------------------------------------------------- reading

[[noreturn]] void Fail(size_t line, const std::string& what) {
  throw EFormatError("line " + std::to_string(line) + ": " + what);
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads the quoted string at the start of rest (after blanks) and appends
// its value; nothing but blanks may follow it.
void ReadQuoted(std::string_view rest, size_t line, std::string& out) {
  size_t i = 0;
  while (i < rest.size() && IsBlank(rest[i])) ++i;
  if (i >= rest.size() || rest[i] != '"') Fail(line, "a quoted string is expected");
  ++i;
  for (;;) {
    if (i >= rest.size()) Fail(line, "unterminated string");
    const char c = rest[i++];
    if (c == '"') break;
    if (c == '\0') Fail(line, "a string holds a NUL character");
    if (c != '\\') {
      out += c;
      continue;
    }
    if (i >= rest.size()) Fail(line, "unterminated string");
    const char e = rest[i++];
    switch (e) {
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case 'r': out += '\r'; break;
      case 'a': out += '\a'; break;
      case 'b': out += '\b'; break;
      case 'f': out += '\f'; break;
      case 'v': out += '\v'; break;
      case '\\': out += '\\'; break;
      case '"': out += '"'; break;
      case '\'': out += '\''; break;
      case '?': out += '?'; break;
      case 'x': {
        int value = 0, digits = 0;
        while (i < rest.size() && HexValue(rest[i]) >= 0 && digits < 2) value = value * 16 + HexValue(rest[i++]), ++digits;
        if (digits == 0) Fail(line, "\\x without hexadecimal digits");
        if (value == 0) Fail(line, "a string holds a NUL character");
        out += static_cast<char>(value);
        break;
      }
      default:
        if (e >= '0' && e <= '7') {
          int value = e - '0', digits = 1;
          while (i < rest.size() && rest[i] >= '0' && rest[i] <= '7' && digits < 3) value = value * 8 + (rest[i++] - '0'), ++digits;
          if (value == 0) Fail(line, "a string holds a NUL character");
          out += static_cast<char>(value & 0xFF);
          break;
        }
        Fail(line, std::string("unknown escape sequence \\") + e);
    }
  }
  while (i < rest.size() && IsBlank(rest[i])) ++i;
  if (i < rest.size()) Fail(line, "unexpected text after the closing quote");
}

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string Trimmed(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return std::string(s);
}

// One entry while it is being read.
struct Pending {
  ImportEntry entry;
  bool fuzzy = false;
  bool hasContext = false, hasId = false, hasPlural = false, hasStr = false;
  size_t firstLine = 0;
  std::string id, plural, ignored;
  std::string* current = nullptr;  // the string that continuation lines extend
  bool currentIsTarget = false;

  bool Started() const { return hasContext || hasId; }
};

class PoParser {
 public:
  explicit PoParser(std::string_view bytes) : bytes_(bytes) {}

  ImportDocument Parse() {
    size_t pos = bytes_.substr(0, kUtf8Bom.size()) == kUtf8Bom ? kUtf8Bom.size() : 0;
    size_t line = 0;
    while (pos < bytes_.size()) {
      ++line;
      size_t end = bytes_.find('\n', pos);
      if (end == std::string_view::npos) end = bytes_.size();
      std::string_view text = bytes_.substr(pos, end - pos);
      pos = end + 1;
      if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
      if (text.find('\r') != std::string_view::npos)
        Fail(line, "a carriage return inside a line: the lines end in CR alone; save the file with LF or CR LF "
                   "line ends");
      if (checkUtf8_) {
        if (const auto bad = FirstInvalidUtf8(text)) Fail(line, "the bytes are not UTF-8 (column " + std::to_string(*bad + 1) + ")");
      }
      Line(text, line);
    }
    if (p_.Started() && !p_.hasStr) Fail(line, "the file ends inside an entry: msgstr is missing");
    Finish();
    RefuseDuplicateContexts(doc_.Entries, "msgctxt");
    return std::move(doc_);
  }

 private:
  void Line(std::string_view text, size_t line) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    if (text.empty()) return;
    if (text.front() == '#') {
      if (p_.hasStr) Finish();
      if (p_.Started()) Fail(line, "a comment inside an entry: msgstr is missing");
      if (text.substr(0, 2) == "#,") {
        size_t start = 2;
        while (start <= text.size()) {
          size_t comma = text.find(',', start);
          if (comma == std::string_view::npos) comma = text.size();
          if (Trimmed(text.substr(start, comma - start)) == "fuzzy") p_.fuzzy = true;
          start = comma + 1;
        }
      }
      return;  // other comments, "#~" obsolete entries included, carry no data
    }
    if (text.front() == '"') {
      if (!p_.current) Fail(line, "a string without a keyword before it");
      if (p_.currentIsTarget) p_.entry.TargetMarks.push_back({p_.current->size(), line});
      ReadQuoted(text, line, *p_.current);
      return;
    }
    size_t k = 0;
    while (k < text.size() && !IsBlank(text[k]) && text[k] != '"') ++k;
    const std::string_view keyword = text.substr(0, k);
    const std::string_view rest = text.substr(k);
    p_.currentIsTarget = false;
    if (keyword == "msgctxt" || keyword == "msgid") {
      if (p_.hasStr) Finish();
      if (keyword == "msgctxt" && p_.Started()) Fail(line, "msgctxt inside an entry: msgstr is missing");
      if (keyword == "msgid" && p_.hasId) Fail(line, "msgid inside an entry: msgstr is missing");
      if (!p_.Started()) p_.firstLine = line;
      if (keyword == "msgctxt") {
        p_.hasContext = true;
        p_.current = &p_.entry.Context;
      } else {
        p_.hasId = true;
        p_.current = &p_.id;
      }
    } else if (keyword == "msgid_plural") {
      if (!p_.hasId || p_.hasStr || p_.hasPlural) Fail(line, "msgid_plural out of place");
      p_.hasPlural = true;
      p_.current = &p_.plural;
    } else if (keyword == "msgstr") {
      if (!p_.hasId) Fail(line, "msgstr without msgid");
      if (p_.hasStr || p_.hasPlural) Fail(line, "msgstr out of place");
      p_.hasStr = true;
      p_.current = &p_.entry.Target;
      p_.currentIsTarget = true;
    } else if (keyword.substr(0, 7) == "msgstr[" && keyword.back() == ']') {
      if (!p_.hasId || !p_.hasPlural) Fail(line, "msgstr[] without msgid_plural");
      const std::string_view n = keyword.substr(7, keyword.size() - 8);
      if (n.empty() || n.find_first_not_of("0123456789") != std::string_view::npos) Fail(line, "a bad plural index");
      const bool first = n.find_first_not_of('0') == std::string_view::npos;
      if (first && p_.hasStr) Fail(line, "msgstr[0] given twice");
      p_.hasStr = p_.hasStr || first;
      p_.ignored.clear();
      p_.current = first ? &p_.entry.Target : &p_.ignored;
      p_.currentIsTarget = first;
    } else {
      Fail(line, "unknown keyword \"" + std::string(keyword.substr(0, 40)) + "\"");
    }
    if (p_.currentIsTarget) p_.entry.TargetMarks.push_back({p_.current->size(), line});
    ReadQuoted(rest, line, *p_.current);
  }

  // Ends the entry being read: the header, or one more entry.
  void Finish() {
    if (!p_.hasStr) {
      p_ = Pending{};
      return;
    }
    if (!p_.hasContext && p_.id.empty() && !headerSeen_ && doc_.Entries.empty()) {
      headerSeen_ = true;
      ReadHeader(p_.entry.Target, p_.firstLine);
    } else {
      ImportEntry e = std::move(p_.entry);
      e.HasContext = p_.hasContext;
      e.Source = std::move(p_.id);
      e.Fuzzy = p_.fuzzy;
      e.Line = p_.firstLine;
      if (!charset_.empty()) Recode(e);
      doc_.Entries.push_back(std::move(e));
    }
    p_ = Pending{};
  }

  void ReadHeader(std::string_view header, size_t line) {
    size_t start = 0;
    while (start < header.size()) {
      size_t nl = header.find('\n', start);
      if (nl == std::string_view::npos) nl = header.size();
      const std::string_view field = header.substr(start, nl - start);
      start = nl + 1;
      const size_t colon = field.find(':');
      if (colon == std::string_view::npos) continue;
      const std::string key = Lower(Trimmed(field.substr(0, colon)));
      const std::string value = Trimmed(field.substr(colon + 1));
      if (key == "content-type") {
        const size_t at = Lower(value).find("charset=");
        if (at == std::string::npos) continue;
        std::string cs = Trimmed(std::string_view(value).substr(at + 8));
        cs = cs.substr(0, cs.find_first_of("; "));
        const std::string lower = Lower(cs);
        if (lower == "utf-8" || lower == "utf8" || lower == "charset" || lower == "ascii" || lower == "us-ascii") continue;
        try {
          ToUtf8("", cs);  // is the charset known?
        } catch (const std::exception&) {
          Fail(line, "the charset \"" + cs + "\" is not known");
        }
        charset_ = cs;
        checkUtf8_ = false;
      } else if (key == "x-velmora-code-page") {
        doc_.CodePageName = value.substr(0, value.find(' '));
        doc_.CodePageLine = line;
      }
    }
  }

  void Recode(ImportEntry& e) const {
    e.Context = ToUtf8(e.Context, charset_);
    e.Source = ToUtf8(e.Source, charset_);
    e.Target = ToUtf8(e.Target, charset_);
  }

  std::string_view bytes_;
  ImportDocument doc_;
  Pending p_;
  bool headerSeen_ = false;
  bool checkUtf8_ = true;
  std::string charset_;  // when the strings are not UTF-8
};

}  // namespace

std::string WritePo(const ExportDocument& doc) {
  const std::string charset = IconvCharset(doc.Page);
  std::string out;
  out.append("# Phrases of the unit ").append(HeaderValue(doc.UnitTitle())).append(", written by Velmora.\n");
  out += "# msgctxt is the phrase's index. Only msgctxt and msgstr are read back;\n";
  out += "# a fuzzy entry's text is imported switched off.\n";
  out += "msgid \"\"\nmsgstr \"\"\n";
  const auto field = [&](const std::string& key, const std::string& value) {
    out.append("\"").append(Escaped(key + ": " + HeaderValue(value))).append("\\n\"\n");
  };
  field("Project-Id-Version", doc.UnitTitle());
  field("PO-Revision-Date", "");
  field("Last-Translator", "");
  field("Language-Team", "");
  // Empty when no language is known: gettext's tools then ask for one.
  field("Language", doc.TargetLanguage ? doc.TargetLanguage->Gettext() : "");
  field("MIME-Version", "1.0");
  field("Content-Type", "text/plain; charset=UTF-8");
  field("Content-Transfer-Encoding", "8bit");
  field("X-Generator", std::string("Velmora ") + kVersion);
  // Poedit's name for the language of the msgids.
  field("X-Source-Language", doc.SourceLanguage.Gettext());
  field("X-Velmora-Unit-Name", doc.UnitName);
  field("X-Velmora-Unit-Tag", doc.UnitTag);
  field("X-Velmora-Code-Page", charset);
  for (const ExportEntry& e : doc.Entries) {
    out.append("\n#. room: ").append(std::to_string(e.Room)).append(" bytes in ").append(charset);
    out.append(", pointers: ").append(std::to_string(e.Pointers)).append("\n");
    out.append("#: ").append(FormatHex0x(e.StringAddress)).append("\n");
    if (e.Fuzzy || !e.FormatFlag.empty()) {
      out.append("#,");
      if (e.Fuzzy) out.append(" fuzzy");
      if (e.Fuzzy && !e.FormatFlag.empty()) out.append(",");
      if (!e.FormatFlag.empty()) out.append(" ").append(e.FormatFlag);
      out.append("\n");
    }
    out.append("msgctxt \"").append(std::to_string(e.Index)).append("\"\n");
    AppendString(out, "msgid", e.Source);
    AppendString(out, "msgstr", e.Target);
  }
  return out;
}

ImportDocument ParsePo(std::string_view bytes) { return PoParser(bytes).Parse(); }

}  // namespace velmora
