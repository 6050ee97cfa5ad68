// XLIFF 1.2 as a format of the registry.
#include "project/exchange/EntryFileFormat.h"
#include "project/exchange/FormatList.h"
#include "project/exchange/XliffFile.h"

namespace velmora {

namespace {

// An XML file whose first element is <xliff> (after the declaration and
// any comments), in UTF-8 or UTF-16.
bool LooksLikeXliff(std::string_view head) {
  std::string ascii;
  const bool utf16 = head.substr(0, 2) == "\xFF\xFE" || head.substr(0, 2) == "\xFE\xFF";
  for (size_t i = utf16 ? 2 : 0; i < head.size(); ++i)
    if (head[i] != '\0') ascii.push_back(head[i]);  // UTF-16 of ASCII: drop the zero bytes
  if (ascii.rfind("\xEF\xBB\xBF", 0) == 0) ascii.erase(0, 3);
  const size_t start = ascii.find_first_not_of(" \t\r\n");
  if (start == std::string::npos || ascii[start] != '<') return false;
  const size_t root = ascii.find("<xliff");
  const size_t other = ascii.find_first_of("<", start);
  return root != std::string::npos && (ascii.compare(start, 5, "<?xml") == 0 || other == root);
}

}  // namespace

const PhraseFormat& XliffFileFormat() {
  static const EntryFileFormat format(
      {"xliff", "XLIFF 1.2 Files", "*.xlf;*.xliff", {"xlf", "xliff"}, LooksLikeXliff, WriteXliff, ParseXliff});
  return format;
}

}  // namespace velmora
