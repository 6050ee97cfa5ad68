#include "project/exchange/EntryFileFormat.h"

#include "project/exchange/FormatList.h"

namespace velmora {

std::vector<DialogFilter> EntryFileFormat::DialogFilters(Capability) const {
  return {{this, TextEncoding::Auto, std::string(kind_.Description), std::string(kind_.Patterns)}};
}

bool EntryFileFormat::HasExtension(std::string_view path) const { return PathHasExtension(path, kind_.Extensions); }

std::string EntryFileFormat::Write(const PhraseTable& table, const std::vector<int32_t>& rows,
                                   const ExchangeOptions& options) const {
  return kind_.Write(CollectExport(table, rows, options));
}

ImportReport EntryFileFormat::Read(PhraseTable& table, std::string_view bytes, const ExchangeOptions& options) const {
  return ApplyImport(table, kind_.Parse(bytes), options);
}

}  // namespace velmora
