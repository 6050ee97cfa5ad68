// gettext PO as a format of the registry.
#include "project/exchange/EntryFileFormat.h"
#include "project/exchange/FormatList.h"
#include "project/exchange/PoFile.h"

namespace velmora {

namespace {

// The first line that is neither blank nor a comment starts an entry.
bool LooksLikePo(std::string_view head) {
  size_t pos = head.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  while (pos < head.size()) {
    size_t end = head.find('\n', pos);
    if (end == std::string_view::npos) return false;  // no whole line to judge
    std::string_view line = head.substr(pos, end - pos);
    pos = end + 1;
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t' || line.front() == '\r')) line.remove_prefix(1);
    if (line.empty() || line.front() == '#') continue;
    return line.rfind("msgid ", 0) == 0 || line.rfind("msgctxt ", 0) == 0;
  }
  return false;
}

}  // namespace

const PhraseFormat& PoFileFormat() {
  static const EntryFileFormat format({"po", "gettext PO Files", "*.po", {"po", "pot"}, LooksLikePo, WritePo, ParsePo});
  return format;
}

}  // namespace velmora
