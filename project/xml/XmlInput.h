// XML files that users hand over (XLIFF, TMX, TBX) read as hostile input:
// the bytes must be UTF-8 (or UTF-16 with a byte-order mark) without a
// character XML does not allow (a NUL, another control character),
// nothing may declare entities (a DOCTYPE is refused, or, where a format's
// files customarily name their DTD, allowed only without an internal
// subset, and the DTD is never read), every reference must name an XML
// character or one of the five predefined entities, and a declared
// encoding must be one that is read. pugixml parses without recursion; so
// do the walks here. Every refusal is an EFormatError "line N: ...".
#pragma once

#include <cstddef>
#include <cstdint>
#include <pugixml.hpp>
#include <string>
#include <string_view>

#include "project/text/Unicode.h"

namespace velmora {

struct XmlRules {
  // A DOCTYPE that only names an external DTD (<!DOCTYPE tmx SYSTEM
  // "tmx14.dtd">) is let through; one with an internal subset never is.
  bool AllowExternalDoctype = false;
  // Elements may nest this deep at most; 0 for no limit (for readers that
  // follow the tree without recursion).
  int MaxNesting = 0;
};

class XmlInput {
 public:
  // Decodes the file's bytes: UTF-16 after its byte-order mark, else UTF-8
  // (a byte-order mark dropped). Bytes that are not well-formed, and the
  // characters XML does not allow (control characters but tab and line
  // ends, U+FFFE, U+FFFF), are refused with their line. UTF-8 bytes are read where they are: they
  // must outlive the input.
  explicit XmlInput(std::string_view bytes);

  // The decoded text, UTF-8.
  std::string_view Text() const { return text_; }

  size_t LineAt(size_t offset) { return lines_.LineAt(offset); }
  [[noreturn]] void Fail(size_t line, const std::string& what) const;

  // Parses the text from begin to end (a whole document, or with fragment
  // a run of elements) into doc, whose node offsets then count from begin,
  // and checks it against the rules. Character data and attribute values
  // are kept with their references unresolved: read them with Unescaped.
  void Parse(pugi::xml_document& doc, size_t begin, size_t end, const XmlRules& rules, bool fragment = false);
  // Parses the whole text but for [gapBegin, gapEnd): the file around the
  // pieces that XmlPieces cut out and that are parsed on their own.
  void ParseWithout(pugi::xml_document& doc, size_t gapBegin, size_t gapEnd, const XmlRules& rules);

  // The line of a node of the document parsed last.
  size_t Line(pugi::xml_node n);

  // A value with its references replaced; an undefined entity, a bare "&"
  // or a reference to a character XML does not allow is refused, naming
  // the line (or the line of the node).
  std::string Unescaped(std::string_view value, size_t line) const;
  std::string Unescaped(std::string_view value, pugi::xml_node n);

  // The text of an element: its character data and that of every element
  // inside it, in document order, references replaced. Walks the tree
  // without recursion.
  std::string AllText(pugi::xml_node element);

 private:
  void RefuseForbiddenCharacters() const;
  void ParseBuffer(pugi::xml_document& doc, std::string_view buffer, const XmlRules& rules, bool fragment);
  // Where a node of the document parsed last lies in text_.
  size_t TextOffset(size_t documentOffset) const {
    return base_ + documentOffset + (documentOffset < gapAt_ ? 0 : gapLength_);
  }

  std::string decoded_;  // the text of a UTF-16 file
  std::string_view text_;
  TLineCounter lines_;
  // The document parsed last: where it begins in text_, and where a gap of
  // text left out of it lies.
  size_t base_ = 0;
  size_t gapAt_ = SIZE_MAX;
  size_t gapLength_ = 0;
};

// An element's or attribute's name without its namespace prefix.
std::string_view LocalName(const char* name);

// True for a code point that XML allows in a document.
bool IsXmlChar(uint32_t c);

}  // namespace velmora
