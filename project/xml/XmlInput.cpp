#include "project/xml/XmlInput.h"

#include <cstring>
#include <optional>
#include <vector>

#include "container/io/StreamErrors.h"
#include "project/text/CodePages.h"
#include "project/text/HexText.h"

namespace velmora {

bool IsXmlChar(uint32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

std::string_view LocalName(const char* name) {
  const char* colon = std::strrchr(name, ':');
  return colon ? colon + 1 : name;
}

XmlInput::XmlInput(std::string_view bytes) : lines_(std::string_view()) {
  if (bytes.substr(0, 2) == kUtf16LeBom || bytes.substr(0, 2) == kUtf16BeBom) {
    std::optional<size_t> bad;
    decoded_ = Utf16ToUtf8(bytes.substr(2), bytes.substr(0, 2) == kUtf16BeBom, &bad);
    text_ = decoded_;
    if (bad) Fail(TLineCounter(text_).LineAt(text_.size()), "the bytes are not UTF-16");
  } else {
    if (bytes.substr(0, 3) == kUtf8Bom) bytes.remove_prefix(3);
    text_ = bytes;
    if (const auto bad = FirstInvalidUtf8(text_)) Fail(TLineCounter(text_).LineAt(*bad), "the bytes are not UTF-8");
  }
  RefuseForbiddenCharacters();
  lines_ = TLineCounter(text_);
}

void XmlInput::RefuseForbiddenCharacters() const {
  for (size_t i = 0; i < text_.size(); ++i) {
    const auto c = static_cast<unsigned char>(text_[i]);
    std::string what;
    if (c == 0) {
      what = "a NUL character";
    } else if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
      what = "the control character U+" + FormatHex(c, 4);
    } else if (c == 0xEF && text_.compare(i, 2, "\xEF\xBF") == 0 && i + 2 < text_.size() &&
               (static_cast<unsigned char>(text_[i + 2]) & 0xFE) == 0xBE) {
      what = std::string("the noncharacter U+FFF") + (text_[i + 2] == '\xBE' ? "E" : "F");
    } else {
      continue;
    }
    Fail(TLineCounter(text_).LineAt(i), what + ", which XML does not allow");
  }
}

void XmlInput::Fail(size_t line, const std::string& what) const {
  throw EFormatError("line " + std::to_string(line) + ": " + what);
}

size_t XmlInput::Line(pugi::xml_node n) {
  const ptrdiff_t off = n.offset_debug();
  return LineAt(TextOffset(off < 0 ? 0 : static_cast<size_t>(off)));
}

void XmlInput::Parse(pugi::xml_document& doc, size_t begin, size_t end, const XmlRules& rules, bool fragment) {
  base_ = begin;
  gapAt_ = SIZE_MAX;
  gapLength_ = 0;
  ParseBuffer(doc, text_.substr(begin, end - begin), rules, fragment);
}

void XmlInput::ParseWithout(pugi::xml_document& doc, size_t gapBegin, size_t gapEnd, const XmlRules& rules) {
  std::string around(text_.substr(0, gapBegin));
  around.append(text_.substr(gapEnd));
  base_ = 0;
  gapAt_ = gapBegin;
  gapLength_ = gapEnd - gapBegin;
  ParseBuffer(doc, around, rules, false);
}

void XmlInput::ParseBuffer(pugi::xml_document& doc, std::string_view buffer, const XmlRules& rules, bool fragment) {
  unsigned options = (pugi::parse_default & ~pugi::parse_escapes) | pugi::parse_doctype | pugi::parse_declaration |
                     pugi::parse_ws_pcdata;
  if (fragment) options |= pugi::parse_fragment;
  const pugi::xml_parse_result result = doc.load_buffer(buffer.data(), buffer.size(), options, pugi::encoding_utf8);
  if (!result)
    Fail(LineAt(TextOffset(static_cast<size_t>(result.offset))),
         std::string("not well-formed XML: ") + result.description());

  struct Walker : pugi::xml_tree_walker {
    XmlInput* self;
    const XmlRules* rules;
    bool for_each(pugi::xml_node& n) override {
      if (rules->MaxNesting > 0 && depth() > rules->MaxNesting)
        self->Fail(self->Line(n), "elements nest deeper than " + std::to_string(rules->MaxNesting) + " levels");
      switch (n.type()) {
        case pugi::node_doctype:
          if (!rules->AllowExternalDoctype)
            self->Fail(self->Line(n), "a DOCTYPE is refused: phrase files declare no entities");
          if (std::strchr(n.value(), '[') != nullptr)
            self->Fail(self->Line(n), "a DOCTYPE that declares anything is refused: entities are never read");
          break;
        case pugi::node_declaration: {
          const std::string enc = n.attribute("encoding").value();
          std::string lower;
          for (const char c : enc) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
          if (!lower.empty() && lower != "utf-8" && lower != "utf8" && lower != "utf-16")
            self->Fail(self->Line(n), "the encoding \"" + enc + "\" is not read: save the file as UTF-8");
          break;
        }
        case pugi::node_pcdata:
          if (std::strchr(n.value(), '&')) self->Unescaped(n.value(), n);
          break;
        case pugi::node_element:
          for (pugi::xml_attribute a : n.attributes())
            if (std::strchr(a.value(), '&')) self->Unescaped(a.value(), n);
          break;
        default:
          break;
      }
      return true;
    }
  } walker;
  walker.self = this;
  walker.rules = &rules;
  doc.traverse(walker);
}

std::string XmlInput::Unescaped(std::string_view s, pugi::xml_node n) {
  // The line is counted only for a value that is refused.
  if (s.find('&') == std::string_view::npos) return std::string(s);
  try {
    return Unescaped(s, 0);
  } catch (const EFormatError&) {
    return Unescaped(s, Line(n));
  }
}

std::string XmlInput::Unescaped(std::string_view s, size_t line) const {
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
    if (ref == "lt")
      out += '<';
    else if (ref == "gt")
      out += '>';
    else if (ref == "amp")
      out += '&';
    else if (ref == "apos")
      out += '\'';
    else if (ref == "quot")
      out += '"';
    else if (!ref.empty() && ref[0] == '#') {
      const bool hex = ref.size() > 1 && ref[1] == 'x';
      const std::string_view digits = ref.substr(hex ? 2 : 1);
      uint32_t value = 0;
      bool ok = !digits.empty();
      for (const char c : digits) {
        int d = -1;
        if (c >= '0' && c <= '9')
          d = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
          d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
          d = c - 'A' + 10;
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

std::string XmlInput::AllText(pugi::xml_node element) {
  std::string out;
  // Depth-first through the siblings and parents, with no stack of calls.
  pugi::xml_node n = element.first_child();
  while (n && n != element) {
    if (n.type() == pugi::node_pcdata)
      out += Unescaped(n.value(), n);
    else if (n.type() == pugi::node_cdata)
      out += n.value();
    if (n.type() == pugi::node_element && n.first_child()) {
      n = n.first_child();
      continue;
    }
    while (n != element && !n.next_sibling()) n = n.parent();
    if (n != element) n = n.next_sibling();
  }
  return out;
}

}  // namespace velmora
