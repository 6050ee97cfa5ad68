// gettext PO as a format of the registry.
#include "project/exchange/FormatList.h"
#include "project/exchange/PoFile.h"

namespace velmora {

namespace {

class PoFormat final : public PhraseFormat {
 public:
  std::string_view ShortName() const override { return "po"; }
  unsigned Capabilities() const override { return kCanRead | kCanWrite; }

  std::vector<DialogFilter> DialogFilters(Capability) const override {
    return {{this, TextEncoding::Auto, "gettext PO Files", "*.po"}};
  }

  bool HasExtension(std::string_view path) const override { return PathHasExtension(path, {"po", "pot"}); }

  // The first line that is neither blank nor a comment starts an entry.
  bool LooksLike(std::string_view head) const override {
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

  std::string Write(const PhraseTable& table, const std::vector<int32_t>& rows,
                    const ExchangeOptions& options) const override {
    return WritePo(CollectExport(table, rows, options));
  }

  ImportReport Read(PhraseTable& table, std::string_view bytes, const ExchangeOptions& options) const override {
    return ApplyImport(table, ParsePo(bytes), options);
  }
};

}  // namespace

const PhraseFormat& PoFileFormat() {
  static const PoFormat format;
  return format;
}

}  // namespace velmora
