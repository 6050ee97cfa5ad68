#include "project/xml/XmlPieces.h"

namespace velmora {

namespace {

bool StartsWith(std::string_view t, size_t at, std::string_view s) { return t.compare(at, s.size(), s) == 0; }

bool IsNameEnd(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '/' || c == '>'; }

// The position of the '>' that closes the tag or declaration starting at
// from, stepping over quoted values (and, in a DOCTYPE, an internal
// subset); npos when there is none.
size_t TagEnd(std::string_view t, size_t from, bool brackets) {
  char quote = 0;
  int depth = 0;
  for (size_t i = from; i < t.size(); ++i) {
    const char c = t[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (brackets && c == '[') {
      ++depth;
    } else if (brackets && c == ']') {
      --depth;
    } else if (c == '>' && depth <= 0) {
      return i;
    }
  }
  return std::string_view::npos;
}

}  // namespace

std::optional<XmlPieces> SplitChildContent(std::string_view t, std::string_view child, size_t pieceBytes) {
  XmlPieces out;
  bool inChild = false;
  int depth = 0;  // elements open around the position: 1 inside the root
  size_t pieceStart = 0;
  size_t pos = 0;
  const auto cut = [&](size_t at) {
    if (at - pieceStart < pieceBytes) return;
    out.Pieces.emplace_back(pieceStart, at);
    pieceStart = at;
  };
  while (true) {
    const size_t lt = t.find('<', pos);
    if (lt == std::string_view::npos) return std::nullopt;
    size_t end = std::string_view::npos;
    if (StartsWith(t, lt, "<!--")) {
      end = t.find("-->", lt + 4);
      if (end == std::string_view::npos) return std::nullopt;
      pos = end + 3;
      continue;
    }
    if (StartsWith(t, lt, "<![CDATA[")) {
      end = t.find("]]>", lt + 9);
      if (end == std::string_view::npos) return std::nullopt;
      pos = end + 3;
      continue;
    }
    if (StartsWith(t, lt, "<?")) {
      end = t.find("?>", lt + 2);
      if (end == std::string_view::npos) return std::nullopt;
      pos = end + 2;
      continue;
    }
    if (StartsWith(t, lt, "<!")) {
      end = TagEnd(t, lt + 2, true);
      if (end == std::string_view::npos) return std::nullopt;
      pos = end + 1;
      continue;
    }
    end = TagEnd(t, lt + 1, false);
    if (end == std::string_view::npos) return std::nullopt;
    pos = end + 1;
    if (t[lt + 1] == '/') {
      if (inChild && depth == 2) {  // the child's own end tag
        out.ContentEnd = lt;
        out.Pieces.emplace_back(pieceStart, lt);
        return out;
      }
      if (--depth < 0) return std::nullopt;
      if (inChild && depth == 2) cut(pos);
      continue;
    }
    if (t[end - 1] == '/') {  // an empty element
      if (inChild && depth == 2) cut(pos);
      continue;
    }
    ++depth;
    if (depth == 2 && !inChild) {
      size_t nameEnd = lt + 1;
      while (nameEnd < end && !IsNameEnd(t[nameEnd])) ++nameEnd;
      std::string_view name = t.substr(lt + 1, nameEnd - lt - 1);
      if (const size_t colon = name.rfind(':'); colon != std::string_view::npos) name.remove_prefix(colon + 1);
      if (name == child) {
        inChild = true;
        out.ContentBegin = pieceStart = pos;
      }
    }
  }
}

}  // namespace velmora
