// The plain phrase text file as a format of the registry.
#include "project/exchange/FormatList.h"

namespace velmora {

namespace {

class TextFormat final : public PhraseFormat {
 public:
  std::string_view ShortName() const override { return "txt"; }
  unsigned Capabilities() const override { return kCanRead | kCanWrite; }

  std::vector<DialogFilter> DialogFilters(Capability use) const override {
    // The first entry keeps the file's own rule; the others name an encoding.
    const bool save = use == kCanWrite;
    const std::string en = save ? "Text Files" : "Text File";
    return {
        {this, TextEncoding::Auto, en, "*.txt"},
        {this, TextEncoding::Utf8, en + ", UTF-8", "*.txt"},
        {this, TextEncoding::Utf16, en + ", UTF-16", "*.txt"},
        {this, TextEncoding::EightBit, en + ", 8-bit", "*.txt"},
    };
  }

  bool HasExtension(std::string_view path) const override { return PathHasExtension(path, {"txt"}); }
  // Any bytes read as a text file; it is what a file of no other format is.
  bool LooksLike(std::string_view) const override { return false; }

  std::string Write(const PhraseTable& table, const std::vector<int32_t>& rows,
                    const ExchangeOptions& options) const override {
    return ExportPhrases(table, rows, options.Page, options.Encoding);
  }

  ImportReport Read(PhraseTable& table, std::string_view bytes, const ExchangeOptions& options) const override {
    return ImportPhrases(table, bytes, options.Encoding, options.Page);
  }
};

}  // namespace

const PhraseFormat& TextFileFormat() {
  static const TextFormat format;
  return format;
}

}  // namespace velmora
