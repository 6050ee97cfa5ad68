// The registry's face of a phrase-file format whose files hold entries
// (project/exchange/ExchangeEntries.h): gettext PO and XLIFF. A format of
// this kind is told by its names, its extensions, how its files start, and
// the two functions that write and parse its files; what the registry asks
// of it is the same for all.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "project/exchange/ExchangeEntries.h"
#include "project/exchange/PhraseFormat.h"

namespace velmora {

struct EntryFileKind {
  std::string_view ShortName;              // "po"
  std::string_view Description;            // the dialogs' "gettext PO Files"
  std::string_view Patterns;               // "*.po"
  std::vector<std::string_view> Extensions;  // in lower case: {"po", "pot"}
  bool (*LooksLike)(std::string_view head) = nullptr;
  std::string (*Write)(const ExportDocument& doc) = nullptr;
  ImportDocument (*Parse)(std::string_view bytes) = nullptr;
};

class EntryFileFormat final : public PhraseFormat {
 public:
  explicit EntryFileFormat(EntryFileKind kind) : kind_(std::move(kind)) {}

  std::string_view ShortName() const override { return kind_.ShortName; }
  unsigned Capabilities() const override { return kCanRead | kCanWrite; }
  std::vector<DialogFilter> DialogFilters(Capability use) const override;
  bool HasExtension(std::string_view path) const override;
  bool LooksLike(std::string_view head) const override { return kind_.LooksLike(head); }
  std::string Write(const PhraseTable& table, const std::vector<int32_t>& rows,
                    const ExchangeOptions& options) const override;
  ImportReport Read(PhraseTable& table, std::string_view bytes, const ExchangeOptions& options) const override;

 private:
  EntryFileKind kind_;
};

}  // namespace velmora
