// XLIFF 1.2 as a format of the registry.
#include "project/exchange/FormatList.h"
#include "project/exchange/XliffFile.h"

namespace velmora {

namespace {

class XliffFormat final : public PhraseFormat {
 public:
  std::string_view ShortName() const override { return "xliff"; }
  unsigned Capabilities() const override { return kCanRead | kCanWrite; }

  std::vector<DialogFilter> DialogFilters(Capability) const override {
    return {{this, TextEncoding::Auto, "XLIFF 1.2 Files", "*.xlf;*.xliff"}};
  }

  bool HasExtension(std::string_view path) const override { return PathHasExtension(path, {"xlf", "xliff"}); }

  // An XML file whose first element is <xliff> (after the declaration and
  // any comments), in UTF-8 or UTF-16.
  bool LooksLike(std::string_view head) const override {
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

  std::string Write(const PhraseTable& table, const std::vector<int32_t>& rows,
                    const ExchangeOptions& options) const override {
    return WriteXliff(CollectExport(table, rows, options));
  }

  ImportReport Read(PhraseTable& table, std::string_view bytes, const ExchangeOptions& options) const override {
    return ApplyImport(table, ParseXliff(bytes), options);
  }
};

}  // namespace

const PhraseFormat& XliffFileFormat() {
  static const XliffFormat format;
  return format;
}

}  // namespace velmora
