#include "project/exchange/XliffFile.h"

#include <pugixml.hpp>

#include <cstring>
#include <optional>

#include "container/io/StreamErrors.h"
#include "project/text/CodePages.h"
#include "project/text/HexText.h"
#include "project/text/Unicode.h"
#include "project/xml/XmlInput.h"
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

class XliffReader {
 public:
  explicit XliffReader(std::string_view bytes) : in_(bytes) {}

  ImportDocument Read() {
    pugi::xml_document xml;
    in_.Parse(xml, 0, in_.Text().size(), XmlRules{false, kMaxNesting});

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
  size_t Line(pugi::xml_node n) { return in_.Line(n); }
  [[noreturn]] void Fail(size_t line, const std::string& what) { in_.Fail(line, what); }
  std::string Unescaped(std::string_view s, size_t line) { return in_.Unescaped(s, line); }

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

  XmlInput in_;
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
