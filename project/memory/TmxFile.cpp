#include "project/memory/TmxFile.h"

#include <cstdio>
#include <optional>
#include <pugixml.hpp>

#include "project/text/HexText.h"
#include "project/xml/XmlInput.h"
#include "project/xml/XmlPieces.h"
#include "velmora/Version.h"

namespace velmora {

namespace {

constexpr std::string_view kControlType = "x-velmora-control";
// The text of a piece of the body that is parsed at once: a few thousand units.
constexpr size_t kPieceBytes = size_t{1} << 20;

// ---------------------------------------------------------------- writing

void AppendEscaped(std::string& out, char c) {
  switch (c) {
    case '&':
      out += "&amp;";
      break;
    case '<':
      out += "&lt;";
      break;
    case '>':
      out += "&gt;";
      break;
    case '"':
      out += "&quot;";
      break;
    default:
      out += c;
      break;
  }
}

bool IsXmlControl(unsigned char c) { return c < 0x20 && c != '\t' && c != '\n' && c != '\r'; }

// A segment's text. A carriage return before a line feed is left out, as
// XML readers drop it anyway; a lone one is a character reference. A
// control character XML cannot carry becomes a placeholder that this
// reader turns back into the character: <ph type="x-velmora-control">U+0001</ph>.
void AppendSegment(std::string& out, std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') continue;
      out += "&#13;";
    } else if (IsXmlControl(c)) {
      out.append("<ph type=\"").append(kControlType).append("\">U+").append(FormatHex(c, 4)).append("</ph>");
    } else {
      AppendEscaped(out, text[i]);
    }
  }
}

// A prop's or attribute's value: control characters, tabs and line ends
// spelled "U+XXXX".
void AppendValue(std::string& out, std::string_view text) {
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F)
      out.append("U+").append(FormatHex(c, 4));
    else
      AppendEscaped(out, ch);
  }
}

void AppendProp(std::string& out, std::string_view indent, std::string_view type, std::string_view value) {
  out.append(indent).append("<prop type=\"").append(type).append("\">");
  AppendValue(out, value);
  out.append("</prop>\n");
}

// ---------------------------------------------------------------- reading

std::optional<int64_t> ParseCount(std::string_view s) {
  if (s.empty() || s.size() > 12) return std::nullopt;
  int64_t v = 0;
  for (const char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

bool Named(pugi::xml_node n, std::string_view name) {
  return n.type() == pugi::node_element && LocalName(n.name()) == name;
}

pugi::xml_node Child(pugi::xml_node parent, std::string_view name) {
  for (pugi::xml_node n : parent.children())
    if (Named(n, name)) return n;
  return {};
}

class TmxReader {
 public:
  TmxReader(std::string_view bytes, const std::function<void(TmxUnit&&)>& unit) : in_(bytes), unit_(unit) {}

  TmxHeader Read() {
    const XmlRules rules{true, 0};
    const std::optional<XmlPieces> pieces = SplitChildContent(in_.Text(), "body", kPieceBytes);
    pugi::xml_document doc;
    if (pieces)
      in_.ParseWithout(doc, pieces->ContentBegin, pieces->ContentEnd, rules);
    else
      in_.Parse(doc, 0, in_.Text().size(), rules);
    const pugi::xml_node root = doc.document_element();
    if (LocalName(root.name()) != "tmx")
      in_.Fail(in_.Line(root), "not a TMX file: the root element is <" + std::string(root.name()) + ">");
    ReadHeader(Child(root, "header"));
    if (pieces) {
      for (const auto& [begin, end] : pieces->Pieces) {
        pugi::xml_document piece;
        in_.Parse(piece, begin, end, rules, true);
        ReadUnits(piece);
      }
    } else if (const pugi::xml_node body = Child(root, "body")) {
      ReadUnits(body);
    }
    return header_;
  }

 private:
  std::string Attribute(pugi::xml_node n, const char* name) {
    const pugi::xml_attribute a = n.attribute(name);
    return a ? in_.Unescaped(a.value(), n) : std::string();
  }

  void ReadHeader(pugi::xml_node header) {
    if (!header) return;
    header_.SourceLanguage = Attribute(header, "srclang");
    header_.CreationTool = Attribute(header, "creationtool");
    header_.CreationToolVersion = Attribute(header, "creationtoolversion");
    for (pugi::xml_node p : header.children()) {
      if (!Named(p, "prop")) continue;
      const std::string type = Attribute(p, "type");
      if (type == kTmxCodePageProp)
        header_.CodePage = in_.AllText(p);
      else if (type == kTmxUnitProp)
        header_.Unit = in_.AllText(p);
      else if (type == kTmxStateProp) {
        header_.State = in_.AllText(p);
        headerReview_ = header_.State == kTmxReview;
      }
    }
  }

  void ReadUnits(pugi::xml_node parent) {
    for (pugi::xml_node n : parent.children())
      if (Named(n, "tu")) ReadUnit(n);
  }

  int64_t Count(pugi::xml_node prop, std::string_view type) {
    const std::string text = in_.AllText(prop);
    const auto v = ParseCount(text);
    if (!v) in_.Fail(in_.Line(prop), std::string(type) + " \"" + text + "\" is not a number");
    return *v;
  }

  void ReadUnit(pugi::xml_node tu) {
    TmxUnit u;
    u.Line = in_.Line(tu);
    u.SourceLanguage = Attribute(tu, "srclang");
    if (u.SourceLanguage.empty()) u.SourceLanguage = header_.SourceLanguage;
    u.CodePage = header_.CodePage;
    u.Review = headerReview_;
    // A place begins with its unit, or with its index when the header names the unit.
    const auto place = [&](bool fresh) -> TmxPlace& {
      if (fresh || u.Places.empty()) u.Places.push_back({header_.Unit, -1, -1});
      return u.Places.back();
    };
    bool unitOpen = false;  // the last place has its unit and waits for its index
    for (pugi::xml_node n : tu.children()) {
      if (Named(n, "prop")) {
        const std::string type = Attribute(n, "type");
        if (type == kTmxCodePageProp) {
          u.CodePage = in_.AllText(n);
        } else if (type == kTmxStateProp) {
          u.Review = in_.AllText(n) == kTmxReview;
        } else if (type == kTmxUnitProp) {
          place(true).Unit = in_.AllText(n);
          unitOpen = true;
        } else if (type == kTmxIndexProp) {
          place(!unitOpen).Index = Count(n, type);
          unitOpen = false;
        } else if (type == kTmxRoomProp) {
          place(false).Room = Count(n, type);
        }
      } else if (Named(n, "tuv")) {
        TmxVariant v;
        v.Language = Attribute(n, "xml:lang");
        if (v.Language.empty()) v.Language = Attribute(n, "lang");  // TMX 1.1
        if (v.Language.empty()) in_.Fail(in_.Line(n), "a <tuv> without xml:lang");
        const pugi::xml_node seg = Child(n, "seg");
        if (!seg) in_.Fail(in_.Line(n), "a <tuv> without <seg>");
        v.Text = SegmentText(seg);
        u.Variants.push_back(std::move(v));
      }
    }
    unit_(std::move(u));
  }

  // A segment's text: its character data and the text inside its inline
  // codes, in order, and the characters of our control placeholders.
  // Walks the tree without recursion.
  std::string SegmentText(pugi::xml_node seg) {
    std::string out;
    pugi::xml_node n = seg.first_child();
    while (n && n != seg) {
      bool descend = true;
      if (n.type() == pugi::node_pcdata) {
        out += in_.Unescaped(n.value(), n);
      } else if (n.type() == pugi::node_cdata) {
        out += n.value();
      } else if (Named(n, "ph") && Attribute(n, "type") == kControlType) {
        const std::string code = in_.AllText(n);
        unsigned value = 0;
        if (code.size() != 6 || std::sscanf(code.c_str(), "U+%4X", &value) != 1 || value >= 0x20)
          in_.Fail(in_.Line(n), "a control placeholder without a control character");
        out += static_cast<char>(value);
        descend = false;
      }
      if (descend && n.type() == pugi::node_element && n.first_child()) {
        n = n.first_child();
        continue;
      }
      while (n != seg && !n.next_sibling()) n = n.parent();
      if (n != seg) n = n.next_sibling();
    }
    return out;
  }

  XmlInput in_;
  const std::function<void(TmxUnit&&)>& unit_;
  TmxHeader header_;
  bool headerReview_ = false;
};

}  // namespace

std::string MemoryFileLimitText() {
  return "a memory file may hold at most " + std::to_string(kMaxMemoryFileBytes >> 20) + " MB";
}

std::string WriteTmx(const TmxHeader& header, const std::vector<TmxUnit>& units) {
  size_t estimate = 1024;
  for (const TmxUnit& u : units) {
    estimate += 200 + 110 * u.Places.size();
    for (const TmxVariant& v : u.Variants) estimate += 40 + v.Text.size() + v.Language.size();
  }
  std::string out;
  out.reserve(estimate);
  out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tmx version=\"1.4\">\n  <header creationtool=\"";
  AppendValue(out, header.CreationTool.empty() ? std::string_view("Velmora") : header.CreationTool);
  out += "\" creationtoolversion=\"";
  AppendValue(out, header.CreationToolVersion.empty() ? std::string_view(kVersion) : header.CreationToolVersion);
  out += "\" segtype=\"phrase\" o-tmf=\"Velmora\" adminlang=\"en\" srclang=\"";
  AppendValue(out, header.SourceLanguage);
  out += "\" datatype=\"plaintext\"";
  if (header.CodePage.empty() && header.Unit.empty() && header.State.empty()) {
    out += "/>\n";
  } else {
    out += ">\n";
    if (!header.CodePage.empty()) AppendProp(out, "    ", kTmxCodePageProp, header.CodePage);
    if (!header.State.empty()) AppendProp(out, "    ", kTmxStateProp, header.State);
    if (!header.Unit.empty()) AppendProp(out, "    ", kTmxUnitProp, header.Unit);
    out += "  </header>\n";
  }
  out += "  <body>\n";
  for (const TmxUnit& u : units) {
    out += "    <tu";
    if (!u.SourceLanguage.empty() && u.SourceLanguage != header.SourceLanguage) {
      out += " srclang=\"";
      AppendValue(out, u.SourceLanguage);
      out += "\"";
    }
    out += ">\n";
    if (!u.CodePage.empty() && u.CodePage != header.CodePage) AppendProp(out, "      ", kTmxCodePageProp, u.CodePage);
    const std::string_view state = u.Review ? kTmxReview : kTmxTranslated;
    if (state != header.State) AppendProp(out, "      ", kTmxStateProp, state);
    for (const TmxPlace& p : u.Places) {
      if (p.Unit != header.Unit) AppendProp(out, "      ", kTmxUnitProp, p.Unit);
      if (p.Index >= 0) AppendProp(out, "      ", kTmxIndexProp, std::to_string(p.Index));
      if (p.Room >= 0) AppendProp(out, "      ", kTmxRoomProp, std::to_string(p.Room));
    }
    for (const TmxVariant& v : u.Variants) {
      out += "      <tuv xml:lang=\"";
      AppendValue(out, v.Language);
      out += "\"><seg>";
      AppendSegment(out, v.Text);
      out += "</seg></tuv>\n";
    }
    out += "    </tu>\n";
  }
  out += "  </body>\n</tmx>\n";
  return out;
}

TmxHeader ReadTmx(std::string_view bytes, const std::function<void(TmxUnit&&)>& unit) {
  return TmxReader(bytes, unit).Read();
}

}  // namespace velmora
