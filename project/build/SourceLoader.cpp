#include "project/build/SourceLoader.h"

#include <string_view>

#include "analysis/UnitHeader.h"
#include "container/io/StreamErrors.h"
#include "container/io/TLN_FileStream.h"

namespace velmora {

const char* SourceCheckText(SourceCheck check) {
  switch (check) {
    case SourceCheck::Suitable: return "suitable";
    case SourceCheck::NoFile: return "no such file";
    case SourceCheck::NotAFile: return "not a regular file";
    case SourceCheck::Unreadable: return "the file cannot be read";
    case SourceCheck::NoMaker: return "no AISIN-AW maker entry at the project's maker index";
    case SourceCheck::NoUnit: return "no module or unit at the project's indices";
    case SourceCheck::NameOrOffset: return "the unit's name or offset differs from the project's";
    case SourceCheck::TagOrChecksum: return "the unit's tag or checksum differs from the project's";
  }
  return "unknown";
}

SourceCheck CheckSource(const PhraseTable& table, const std::string& path) {
  if (!NonRegularFileKind(path).empty()) return SourceCheck::NotAFile;
  if (!FileExists(path)) return SourceCheck::NoFile;
  try {
    return CheckSourceIn(table, TLN_Loading(path));
  } catch (const EStreamError&) {
    // A file that exists but cannot be opened or read serves no better.
    return SourceCheck::Unreadable;
  }
}

SourceCheck CheckSourceIn(const PhraseTable& table, const TLN_Loading& dir) {
  LoaderUnitLookup found;
  switch (FindLoaderUnit(dir, ProjectModule(table), table.Info.UnitIndex, found)) {
    case LoaderLookupResult::NoMaker: return SourceCheck::NoMaker;
    case LoaderLookupResult::NoUnit: return SourceCheck::NoUnit;
    case LoaderLookupResult::Found: break;
  }
  if (found.Unit->Name != table.UnitName || found.Unit->Offset != table.Info.UnitOffset)
    return SourceCheck::NameOrOffset;
  const TLN_Unit_Record_AISIN header = ReadUnitHeader(dir, table.Info.UnitOffset);
  // The project file keeps only the first 8 bytes of the tag, so only
  // those are compared.
  if (std::string_view(header.UnitTag).substr(0, 8) != std::string_view(table.UnitTag).substr(0, 8) ||
      header.UnitChecksum != table.Info.UnitChecksum)
    return SourceCheck::TagOrChecksum;
  return SourceCheck::Suitable;
}

bool IsSourceSuitable(const PhraseTable& table, const std::string& path) {
  return CheckSource(table, path) == SourceCheck::Suitable;
}

SourceSearch FindSourceLoader(const PhraseTable& table, const std::string& given) {
  SourceSearch found;
  for (const std::string& path : {table.SourcePath, given}) {
    if (path.empty()) continue;
    const SourceCheck check = CheckSource(table, path);
    if (check == SourceCheck::Suitable) {
      found.Path = path;
      break;
    }
    found.Rejected.push_back(path + " (" + SourceCheckText(check) + ")");
  }
  return found;
}

}  // namespace velmora
