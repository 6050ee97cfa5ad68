#include "project/exchange/XliffFile.h"

#include <pugixml.hpp>

#include <cstring>
#include <optional>

#include "container/io/StreamErrors.h"
#include "project/text/CodePages.h"
#include "project/text/HexText.h"
#include "project/text/Unicode.h"
#include "velmora/Version.h"

namespace velmora {

namespace {

constexpr const char* kXliffNamespace = "urn:oasis:names:tc:xliff:document:1.2";
constexpr const char* kVelmoraNamespace = "urn:x-velmora:phrase-file";
constexpr const char* kControlType = "x-velmora-control";
// Phrase files nest a few levels; the reader follows groups and inline
// codes by recursion, which this bounds.
constexpr int kMaxNesting = 200;

// ---------------------------------------------------------------- writing

bool IsXmlControl(unsigned char c) { return c < 0x20 && c != '\t' && c != '\n' && c != '\r'; }

// Appends text to the element as character data, with the characters XML
// cannot carry as <x/> placeholders numbered from *placeholder.
void AppendText(pugi::xml_node element, std::string_view text, int* placeholder) {
  std::string run;
  const auto flush = [&] {
    if (!run.empty()) element.append_child(pugi::node_pcdata).set_value(run.c_str());
    run.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (c == '\r' || IsXmlControl(c)) {
      flush();
      const std::string code = "U+" + FormatHex(c, 4);
      pugi::xml_node x = element.append_child("x");
      const std::string id = std::string("c").append(std::to_string(++*placeholder));
      x.append_attribute("id") = id.c_str();
      x.append_attribute("ctype") = kControlType;
      x.append_attribute("equiv-text") = code.c_str();
      continue;
    }
    run.push_back(text[i]);
  }
  flush();
  // An element last would make the indented output put blanks before the
  // closing tag, inside the text; an empty run after it keeps them out.
  if (element.last_child().type() == pugi::node_element) element.append_child(pugi::node_pcdata);
}

// An attribute's value with the characters XML cannot carry there (control
// characters; tab and line ends would turn into blanks) written as "U+XXXX".
std::string AttributeText(std::string_view text) {
  std::string out;
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F) out.append("U+").append(FormatHex(c, 4));
    else out.push_back(ch);
  }
  return out;
}

struct StringWriter : pugi::xml_writer {
  std::string out;
  void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), size); }
};

// ---------------------------------------------------------------- reading

[[noreturn]] void Fail(size_t line, const std::string& what) {
  throw EFormatError("line " + std::to_string(line) + ": " + what);
}

std::string_view LocalName(const char* name) {
  const char* colon = std::strrchr(name, ':');
  return colon ? colon + 1 : name;
}

bool IsXmlChar(uint32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

class XliffReader {
 public:
  explicit XliffReader(std::string_view bytes) : lines_(std::string_view()) {
    if (bytes.substr(0, 2) == kUtf16LeBom || bytes.substr(0, 2) == kUtf16BeBom) {
      std::optional<size_t> bad;
      text_ = Utf16ToUtf8(bytes.substr(2), bytes.substr(0, 2) == kUtf16BeBom, &bad);
      if (bad) Fail(TLineCounter(text_).LineAt(text_.size()), "the bytes are not UTF-16");
    } else {
      if (bytes.substr(0, 3) == kUtf8Bom) bytes.remove_prefix(3);
      text_.assign(bytes);
      if (const auto bad = FirstInvalidUtf8(text_)) Fail(TLineCounter(text_).LineAt(*bad), "the bytes are not UTF-8");
    }
    lines_ = TLineCounter(text_);
  }

  ImportDocument Read() {
    pugi::xml_document xml;
    const unsigned options = (pugi::parse_default & ~pugi::parse_escapes) | pugi::parse_doctype |
                             pugi::parse_declaration | pugi::parse_ws_pcdata;
    const pugi::xml_parse_result result = xml.load_buffer(text_.data(), text_.size(), options, pugi::encoding_utf8);
    if (!result) Fail(LineAt(static_cast<size_t>(result.offset)), std::string("not well-formed XML: ") + result.description());
    CheckTree(xml);

    const pugi::xml_node root = xml.document_element();
    if (LocalName(root.name()) != "xliff") Fail(Line(root), "not an XLIFF file: the root element is <" + std::string(root.name()) + ">");
    ImportDocument doc;
    doc.LiteralLineFeeds = true;
    for (pugi::xml_node file : root.children()) {
      if (LocalName(file.name()) != "file") continue;
      for (pugi::xml_attribute a : file.attributes())
        if (LocalName(a.name()) == "code-page" && std::strchr(a.name(), ':')) {
          doc.CodePageLine = Line(file);
          doc.CodePageName = Unescaped(a.value(), doc.CodePageLine);
        }
      ReadUnits(file, doc);
    }
    RefuseDuplicateContexts(doc.Entries, "trans-unit id");
    return doc;
  }

 private:
  size_t LineAt(size_t offset) { return lines_.LineAt(offset); }
  size_t Line(pugi::xml_node n) {
    const ptrdiff_t off = n.offset_debug();
    return off < 0 ? 0 : LineAt(static_cast<size_t>(off));
  }

  // Refuses a DOCTYPE and checks every reference and declared encoding.
  void CheckTree(pugi::xml_document& xml) {
    struct Walker : pugi::xml_tree_walker {
      XliffReader* self;
      bool for_each(pugi::xml_node& n) override {
        if (depth() > kMaxNesting)
          Fail(self->Line(n), "elements nest deeper than " + std::to_string(kMaxNesting) + " levels");
        switch (n.type()) {
          case pugi::node_doctype:
            Fail(self->Line(n), "a DOCTYPE is refused: phrase files declare no entities");
          case pugi::node_declaration: {
            const std::string enc = n.attribute("encoding").value();
            std::string lower;
            for (const char c : enc) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
            if (!lower.empty() && lower != "utf-8" && lower != "utf8" && lower != "utf-16")
              Fail(self->Line(n), "the encoding \"" + enc + "\" is not read: save the file as UTF-8");
            break;
          }
          case pugi::node_pcdata:
            self->Unescaped(n.value(), self->Line(n));
            break;
          case pugi::node_element:
            for (pugi::xml_attribute a : n.attributes()) self->Unescaped(a.value(), self->Line(n));
            break;
          default:
            break;
        }
        return true;
      }
    } walker;
    walker.self = this;
    xml.traverse(walker);
  }

  // The value with its references replaced; an undefined entity or a
  // reference to a character XML does not allow is an error.
  std::string Unescaped(std::string_view s, size_t line) {
    std::string out;
    size_t i = 0;
    while (i < s.size()) {
      const size_t amp = s.find('&', i);
      if (amp == std::string_view::npos) {
        out.append(s.substr(i));
        break;
      }
      out.append(s.substr(i, amp - i));
      const size_t semi = s.find(';', amp);
      if (semi == std::string_view::npos || semi - amp > 12) Fail(line, "a bare \"&\": write it as &amp;");
      const std::string_view ref = s.substr(amp + 1, semi - amp - 1);
      if (ref == "lt") out += '<';
      else if (ref == "gt") out += '>';
      else if (ref == "amp") out += '&';
      else if (ref == "apos") out += '\'';
      else if (ref == "quot") out += '"';
      else if (!ref.empty() && ref[0] == '#') {
        const bool hex = ref.size() > 1 && ref[1] == 'x';
        const std::string_view digits = ref.substr(hex ? 2 : 1);
        uint32_t value = 0;
        bool ok = !digits.empty();
        for (const char c : digits) {
          int d = -1;
          if (c >= '0' && c <= '9') d = c - '0';
          else if (hex && c >= 'a' && c <= 'f') d = c - 'a' + 10;
          else if (hex && c >= 'A' && c <= 'F') d = c - 'A' + 10;
          if (d < 0 || value > 0x10FFFF) {
            ok = false;
            break;
          }
          value = value * (hex ? 16 : 10) + static_cast<uint32_t>(d);
        }
        if (!ok || !IsXmlChar(value)) Fail(line, "a character reference to no XML character: &" + std::string(ref) + ";");
        AppendUtf8(out, value);
      } else {
        Fail(line, "an undefined entity: &" + std::string(ref) + ";");
      }
      i = semi + 1;
    }
    return out;
  }

  // The text of a <source> or <target>: character data, the text inside
  // <g> and <mrk>, and the control characters of our placeholders; other
  // inline codes carry no text of the phrase.
  std::string InlineText(pugi::xml_node element) {
    std::string out;
    for (pugi::xml_node n : element.children()) {
      switch (n.type()) {
        case pugi::node_pcdata: out += Unescaped(n.value(), Line(n)); break;
        case pugi::node_cdata: out += n.value(); break;
        case pugi::node_element: {
          const std::string_view name = LocalName(n.name());
          if (name == "g" || name == "mrk") {
            out += InlineText(n);
          } else if ((name == "x" || name == "ph") && std::string_view(n.attribute("ctype").value()) == kControlType) {
            const std::string code = Unescaped(n.attribute("equiv-text").value(), Line(n));
            unsigned value = 0;
            if (code.size() != 6 || std::sscanf(code.c_str(), "U+%4X", &value) != 1 || value >= 0x20)
              Fail(Line(n), "a control placeholder without a control character");
            out += static_cast<char>(value);
          }
          break;
        }
        default: break;
      }
    }
    return out;
  }

  void ReadUnits(pugi::xml_node parent, ImportDocument& doc) {
    for (pugi::xml_node n : parent.children()) {
      if (n.type() != pugi::node_element) continue;
      const std::string_view name = LocalName(n.name());
      if (name == "body" || name == "group") {
        ReadUnits(n, doc);
        continue;
      }
      if (name != "trans-unit") continue;
      // The header of a PO file that a converter kept as a unit (po2xliff).
      if (std::string_view(n.attribute("restype").value()) == "x-gettext-domain-header") continue;
      ImportEntry e;
      e.Line = Line(n);
      if (const pugi::xml_attribute id = n.attribute("id")) {
        e.HasContext = true;
        e.Context = Unescaped(id.value(), e.Line);
      }
      bool hasSource = false;
      for (pugi::xml_node c : n.children()) {
        const std::string_view child = LocalName(c.name());
        if (child == "source" && !hasSource) {
          hasSource = true;
          e.Source = InlineText(c);
        } else if (child == "target" && e.TargetMarks.empty()) {
          const size_t line = Line(c);
          e.TargetMarks.push_back({0, line});
          const std::string state = Unescaped(c.attribute("state").value(), line);
          e.Target = InlineText(c);
          e.Fuzzy = state == "new" || state.rfind("needs-", 0) == 0;
        }
      }
      if (!hasSource) Fail(e.Line, "a <trans-unit> without <source>");
      doc.Entries.push_back(std::move(e));
    }
  }

  std::string text_;
  TLineCounter lines_;
};

}  // namespace

std::string WriteXliff(const ExportDocument& doc) {
  pugi::xml_document xml;
  pugi::xml_node decl = xml.append_child(pugi::node_declaration);
  decl.append_attribute("version") = "1.0";
  decl.append_attribute("encoding") = "UTF-8";
  pugi::xml_node root = xml.append_child("xliff");
  root.append_attribute("version") = "1.2";
  root.append_attribute("xmlns") = kXliffNamespace;
  root.append_attribute("xmlns:velmora") = kVelmoraNamespace;
  pugi::xml_node file = root.append_child("file");
  file.append_attribute("original") = AttributeText(doc.UnitTitle()).c_str();
  file.append_attribute("source-language") = doc.SourceLanguage.Bcp47().c_str();
  if (doc.TargetLanguage) file.append_attribute("target-language") = doc.TargetLanguage->Bcp47().c_str();
  file.append_attribute("datatype") = "plaintext";
  file.append_attribute("velmora:unit-name") = AttributeText(doc.UnitName).c_str();
  file.append_attribute("velmora:unit-tag") = AttributeText(doc.UnitTag).c_str();
  const std::string charset = IconvCharset(doc.Page);
  file.append_attribute("velmora:code-page") = charset.c_str();
  pugi::xml_node tool = file.append_child("header").append_child("tool");
  tool.append_attribute("tool-id") = "velmora";
  tool.append_attribute("tool-name") = "Velmora";
  tool.append_attribute("tool-version") = kVersion;
  pugi::xml_node body = file.append_child("body");
  for (const ExportEntry& e : doc.Entries) {
    pugi::xml_node unit = body.append_child("trans-unit");
    unit.append_attribute("id") = std::to_string(e.Index).c_str();
    unit.append_attribute("resname") = FormatHex0x(e.StringAddress).c_str();
    unit.append_attribute("maxwidth") = std::to_string(e.Room).c_str();
    unit.append_attribute("size-unit") = "byte";
    unit.append_attribute("xml:space") = "preserve";
    // A switched-on translation is approved; translate-toolkit counts a
    // target without approval as fuzzy, whatever its state.
    if (!e.Target.empty() && !e.Fuzzy) unit.append_attribute("approved") = "yes";
    int placeholder = 0;
    AppendText(unit.append_child("source"), e.Source, &placeholder);
    if (!e.Target.empty()) {
      pugi::xml_node target = unit.append_child("target");
      // "needs-translation" on a target with text is what Poedit and
      // translate-toolkit both show as needing work.
      target.append_attribute("state") = e.Fuzzy ? "needs-translation" : "translated";
      placeholder = 0;
      AppendText(target, e.Target, &placeholder);
    }
    std::string note = "address ";
    note.append(FormatHex0x(e.StringAddress)).append(", pointers: ").append(std::to_string(e.Pointers));
    note.append(", room: ").append(std::to_string(e.Room)).append(" bytes in ").append(charset);
    unit.append_child("note").text() = note.c_str();
    // The PO flag as a developer's note, which translate-toolkit carries
    // over to PO as an extracted comment.
    if (!e.FormatFlag.empty()) {
      pugi::xml_node flag = unit.append_child("note");
      flag.append_attribute("from") = "developer";
      flag.text() = e.FormatFlag.c_str();
    }
  }
  StringWriter writer;
  size_t estimate = 1024;
  for (const ExportEntry& e : doc.Entries) estimate += 320 + e.Source.size() + e.Target.size();
  writer.out.reserve(estimate);
  xml.save(writer, "  ", pugi::format_default, pugi::encoding_utf8);
  return std::move(writer.out);
}

ImportDocument ParseXliff(std::string_view bytes) { return XliffReader(bytes).Read(); }

}  // namespace velmora
