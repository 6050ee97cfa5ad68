// A large XML file read a piece at a time: the content of one child of the
// root element (the <body> of a TMX file, where all its units are) is cut
// between that child's own children into pieces of about a given size,
// and each piece is parsed on its own as a fragment. The tree of one piece
// is all that is held at once, so a file of 200,000 units needs no more
// memory than its text and one piece's tree. The cut follows the markup
// (comments, CDATA sections, processing instructions and quoted attribute
// values are stepped over) without recursion; every piece, and the file
// without them, is still parsed by pugixml, which judges what is
// well-formed.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace velmora {

struct XmlPieces {
  size_t ContentBegin = 0;  // just after the child's start tag
  size_t ContentEnd = 0;    // at its end tag
  // [begin, end) ranges that cover the content back to back, each cut
  // where one of the child's children ends.
  std::vector<std::pair<size_t, size_t>> Pieces;
};

// The pieces of the content of the root's first child named child (local
// name, prefix ignored), or nullopt when the markup has no such child with
// an end tag; the caller then parses the whole text, which reports what is
// wrong with it.
std::optional<XmlPieces> SplitChildContent(std::string_view text, std::string_view child, size_t pieceBytes);

}  // namespace velmora
