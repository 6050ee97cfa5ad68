#include "container/LoaderRebuild.h"

#include <cstring>
#include <vector>

#include "container/AtomicFile.h"
#include "container/ByteOrder.h"
#include "container/LoaderLayout.h"
#include "container/Loading.h"
#include "container/OutputGuard.h"
#include "container/Stream.h"
#include "container/StreamErrors.h"
#include "container/TLN_FileStream.h"

namespace velmora {

namespace {

using namespace loader_layout;

constexpr int64_t kLoaderSector = 2048;
constexpr uint32_t kNoOffset = 0xFFFFFFFFu;

// Positions in the new loader.
constexpr size_t kNewMakerRecord = 4;
constexpr size_t kNewNameRecord = 20;
constexpr size_t kNewModuleRecord = 84;
constexpr size_t kNewModuleStart = kNewModuleRecord + kModuleStartOffset;    // 334
constexpr size_t kNewModuleLength = kNewModuleRecord + kModuleLengthOffset;  // 338
constexpr size_t kNewRecordTable = kNewModuleRecord + kUnitTableOffset;      // 152

const char* const kAisinMaker = "AISIN-AW";

// The maker entry, module and unit the project names, when the directory
// holds them.
struct ProjectUnit {
  const TLN_System_Identification_Info* maker = nullptr;
  const TLN_Module_Info* module = nullptr;
  const TLN_Unit_Info* unit = nullptr;
};

SourceCheck FindProjectUnit(const PhraseTable& table, const TLN_Loading& dir, ProjectUnit& found) {
  const ProjectInfo& info = table.Info;
  const auto& makers = dir.Frame.Makers;
  if (info.MakerIndex < 0 || static_cast<size_t>(info.MakerIndex) >= makers.size()) return SourceCheck::NoMaker;
  const auto& maker = makers[static_cast<size_t>(info.MakerIndex)];
  if (maker.MakerName != kAisinMaker) return SourceCheck::NoMaker;
  if (info.ModuleIndex < 0 || static_cast<size_t>(info.ModuleIndex) >= maker.Modules.size())
    return SourceCheck::NoUnit;
  const auto& module = maker.Modules[static_cast<size_t>(info.ModuleIndex)];
  if (info.UnitIndex < 0 || static_cast<size_t>(info.UnitIndex) >= module.Units.size()) return SourceCheck::NoUnit;
  found = {&maker, &module, &module.Units[static_cast<size_t>(info.UnitIndex)]};
  return SourceCheck::Suitable;
}

// Reads exactly count bytes at pos of a source of the given size; a source
// too short for them is a damaged source, not a reason to read zeros.
void ReadSourceAt(TStream& source, int64_t sourceSize, int64_t pos, void* buffer, size_t count, const char* what) {
  if (pos < 0 || pos > sourceSize || static_cast<int64_t>(count) > sourceSize - pos)
    throw EFormatError(std::string("The source loader ends before ") + what + ".");
  source.SetPosition(pos);
  source.ReadBuffer(buffer, count);
}


}  // namespace

const char* SourceCheckText(SourceCheck check) {
  switch (check) {
    case SourceCheck::Suitable: return "suitable";
    case SourceCheck::NoFile: return "no such file";
    case SourceCheck::NoMaker: return "no AISIN-AW maker entry at the project's maker index";
    case SourceCheck::NoUnit: return "no module or unit at the project's indices";
    case SourceCheck::NameOrOffset: return "the unit's name or offset differs from the project's";
    case SourceCheck::TagOrChecksum: return "the unit's tag or checksum differs from the project's";
  }
  return "unknown";
}

SourceCheck CheckSource(const PhraseTable& table, const std::string& path) {
  if (!FileExists(path)) return SourceCheck::NoFile;
  try {
    const TLN_Loading dir(path);
    ProjectUnit found;
    const SourceCheck located = FindProjectUnit(table, dir, found);
    if (located != SourceCheck::Suitable) return located;
    if (found.unit->Name != table.UnitName || found.unit->Offset != table.Info.UnitOffset)
      return SourceCheck::NameOrOffset;
    const TLN_Unit_Record_AISIN header = dir.ReadUnitHeader(table.Info.UnitOffset);
    // The project file keeps only the first 8 bytes of the tag, so only
    // those are compared.
    if (std::string_view(header.UnitTag).substr(0, 8) != std::string_view(table.UnitTag).substr(0, 8) ||
        header.UnitChecksum != table.Info.UnitChecksum)
      return SourceCheck::TagOrChecksum;
    return SourceCheck::Suitable;
  } catch (const EStreamError&) {
    // A file that exists but cannot be opened or read serves no better.
    return SourceCheck::NoFile;
  }
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

int64_t ModuleNameRecordPosition(const TLN_Loading& dir, size_t makerIndex, size_t moduleIndex) {
  int64_t pos = 4 + kMakerRecordSize * dir.Frame.MakerCount;
  for (size_t m = 0; m < makerIndex; ++m) pos += (kNameRecordSize + kModuleRecordSize) * dir.Frame.Makers[m].ModuleCount;
  return pos + kNameRecordSize * static_cast<int64_t>(moduleIndex);
}

int64_t RebuildLoader(const PhraseTable& table, const std::string& sourcePath, const std::string& outputPath,
                      const StatusCallback& status) {
  // Creating the output must never destroy the template it is built from.
  RefuseOutputOverInput(outputPath, sourcePath, "the source loader");

  if (status) status(kCreatingLoaderText);
  struct CompletionReport {
    const StatusCallback& status;
    ~CompletionReport() {
      if (status) status(kLoaderCompleteText);
    }
  } completion{status};

  const TLN_Loading dir(sourcePath);
  ProjectUnit found;
  if (!dir.Valid || FindProjectUnit(table, dir, found) != SourceCheck::Suitable)
    throw EFormatError("The source loader does not hold the project's module and unit.");
  const auto& module = *found.module;
  const size_t unitCount = module.Units.size();
  const size_t translated = static_cast<size_t>(table.Info.UnitIndex);
  if (!module.SplitTable && unitCount > kRecordUnitSlots)
    throw EFormatError("The source module lists more units than its record has room for.");

  TLN_FileStream source(sourcePath);
  const int64_t sourceSize = source.Size();
  TAtomicFile output(outputPath);
  TStream& out = output.Stream();

  // Positions 0 to 2047: one maker entry, one module.
  std::vector<uint8_t> head(kLoaderSector, 0);
  StoreBE32(&head[0], 0x00010000u);
  const auto makerIndex = static_cast<size_t>(table.Info.MakerIndex);
  ReadSourceAt(source, sourceSize, 4 + kMakerRecordSize * static_cast<int64_t>(makerIndex), &head[kNewMakerRecord],
               kMakerRecordSize, "its maker record");
  StoreBE32(&head[kNewMakerRecord + 12], 0x00010000u);
  const int64_t namePos =
      ModuleNameRecordPosition(dir, makerIndex, static_cast<size_t>(table.Info.ModuleIndex));
  ReadSourceAt(source, sourceSize, namePos, &head[kNewNameRecord], kNameRecordSize, "its module name record");
  ReadSourceAt(source, sourceSize, module.RecordOffset, &head[kNewModuleRecord], kModuleRecordSize,
               "its module record");
  StoreBE32(&head[kNewModuleStart], 0x00000100u);  // sector 1
  out.SetPosition(0);
  out.WriteBuffer(head.data(), head.size());  // written again once the offsets are known

  // The split layout's own unit table, copied from the module start.
  std::vector<uint8_t> splitTable;
  uint8_t* entries = &head[kNewRecordTable];  // offset field of entry k at entries + 12 + 16 k
  size_t shift = 0;
  int64_t w = kLoaderSector;

  for (size_t i = 0; i < unitCount; ++i) {
    const TLN_Unit_Info& unit = module.Units[i];
    if (i == 0 && module.SplitTable) {
      splitTable.resize(static_cast<size_t>(4 + kUnitEntrySize * static_cast<int64_t>(unitCount - 1)));
      ReadSourceAt(source, sourceSize, module.Start, splitTable.data(), splitTable.size(), "its unit table");
      if (unit.Offset == kNoOffset || unit.Offset < module.Start ||
          unit.Offset - module.Start < splitTable.size())
        throw EFormatError("The source module's first unit overlaps its unit table.");
      out.WriteBuffer(splitTable.data(), splitTable.size());
      out.WriteZeros(unit.Offset - module.Start - splitTable.size());
      w = kLoaderSector + (unit.Offset - module.Start);
    }
    if (i > 0) {
      StoreBE32(entries + 12 + kUnitEntrySize * static_cast<int64_t>(i - shift),
                static_cast<uint32_t>((w - kLoaderSector) / 2));
    } else if (!module.SplitTable && unit.Offset != kNoOffset && unit.Offset != module.Start) {
      // Unit 0 goes to the module start; its entry is made to say so.
      StoreBE32(entries + 12, 0);
    }

    if (i == translated) {
      w += BuildUnit(table, out);
    } else if (unit.Size > 0) {
      if (unit.Offset == kNoOffset || int64_t{unit.Offset} + int64_t{unit.Size} > sourceSize)
        throw EFormatError("Unit " + std::to_string(i) + " (" + unit.Name + ") reaches past the end of the source loader.");
      source.SetPosition(unit.Offset);
      out.CopyFrom(source, unit.Size);
      w += unit.Size;
      // A word offset cannot name an odd position: keep every unit at an
      // even one so its recorded offset is exact.
      if (unit.Size % 2 != 0) {
        out.WriteZeros(1);
        ++w;
      }
    }

    if (i == 0 && module.SplitTable) {
      entries = splitTable.data();
      shift = 1;
    }
  }

  const int64_t n = w - kLoaderSector;
  const int64_t padded = (n + kLoaderSector - 1) / kLoaderSector * kLoaderSector;
  const int64_t sectors = padded / kLoaderSector;
  if (sectors > 0xFFFF) throw EFormatError("The module would be longer than a loader directory can record.");
  out.WriteZeros(static_cast<size_t>(padded - n));
  StoreBE16(&head[kNewModuleLength], static_cast<uint16_t>(sectors));

  out.SetPosition(0);
  out.WriteBuffer(head.data(), head.size());
  if (!splitTable.empty()) {
    out.SetPosition(kLoaderSector);
    out.WriteBuffer(splitTable.data(), splitTable.size());
  }
  output.Commit();
  return kLoaderSector + padded;
}

}  // namespace velmora
