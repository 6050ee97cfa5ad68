#include "container/kiwi/LoaderRebuild.h"

#include <cstring>
#include <vector>

#include "container/io/AtomicFile.h"
#include "container/io/ByteOrder.h"
#include "container/kiwi/KiwiPrimitives.h"
#include "container/kiwi/LoaderLayout.h"
#include "container/io/OutputGuard.h"
#include "container/io/Stream.h"
#include "container/io/StreamErrors.h"
#include "container/io/TLN_FileStream.h"

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

// Reads exactly count bytes at pos of a source of the given size; a source
// too short for them is a damaged source, not a reason to read zeros.
void ReadSourceAt(TStream& source, int64_t sourceSize, int64_t pos, void* buffer, size_t count, const char* what) {
  if (pos < 0 || pos > sourceSize || static_cast<int64_t>(count) > sourceSize - pos)
    throw EFormatError(std::string("The source loader ends before ") + what + ".");
  source.SetPosition(pos);
  source.ReadBuffer(buffer, count);
}


}  // namespace

LoaderLookupResult FindLoaderUnit(const TLN_Loading& dir, const LoaderModuleRef& ref, int unitIndex,
                                  LoaderUnitLookup& found) {
  const auto& makers = dir.Frame.Makers;
  if (ref.MakerIndex < 0 || static_cast<size_t>(ref.MakerIndex) >= makers.size()) return LoaderLookupResult::NoMaker;
  const auto& maker = makers[static_cast<size_t>(ref.MakerIndex)];
  if (maker.MakerName != kAisinMakerName) return LoaderLookupResult::NoMaker;
  if (ref.ModuleIndex < 0 || static_cast<size_t>(ref.ModuleIndex) >= maker.Modules.size())
    return LoaderLookupResult::NoUnit;
  const auto& module = maker.Modules[static_cast<size_t>(ref.ModuleIndex)];
  if (unitIndex < 0 || static_cast<size_t>(unitIndex) >= module.Units.size()) return LoaderLookupResult::NoUnit;
  found = {&maker, &module, &module.Units[static_cast<size_t>(unitIndex)]};
  return LoaderLookupResult::Found;
}

int64_t ModuleNameRecordPosition(const TLN_Loading& dir, size_t makerIndex, size_t moduleIndex) {
  int64_t pos = 4 + kMakerRecordSize * dir.Frame.MakerCount;
  for (size_t m = 0; m < makerIndex; ++m) pos += (kNameRecordSize + kModuleRecordSize) * dir.Frame.Makers[m].ModuleCount;
  return pos + kNameRecordSize * static_cast<int64_t>(moduleIndex);
}

int64_t RebuildLoader(const std::string& sourcePath, const std::string& outputPath, const LoaderModuleRef& ref,
                      const std::vector<TranslatedUnit>& translated) {
  // Creating the output must never destroy the template it is built from.
  RefuseOutputOverInput(outputPath, sourcePath, "the source loader");

  const TLN_Loading dir(sourcePath);
  LoaderUnitLookup found;
  if (!dir.Valid) throw EFormatError("The source loader does not hold the project's module and unit.");
  for (const TranslatedUnit& t : translated)
    if (FindLoaderUnit(dir, ref, static_cast<int>(t.UnitIndex), found) != LoaderLookupResult::Found)
      throw EFormatError("The source loader does not hold the project's module and unit.");
  if (FindLoaderUnit(dir, ref, 0, found) != LoaderLookupResult::Found)
    throw EFormatError("The source loader does not hold the project's module and unit.");
  const auto& module = *found.Module;
  const size_t unitCount = module.Units.size();
  auto writerOf = [&](size_t i) -> const UnitWriter* {
    for (const TranslatedUnit& t : translated)
      if (t.UnitIndex == i) return &t.Write;
    return nullptr;
  };
  if (!module.SplitTable && unitCount > kRecordUnitSlots)
    throw EFormatError("The source module lists more units than its record has room for.");

  TLN_FileStream source(sourcePath);
  const int64_t sourceSize = source.Size();
  TAtomicFile output(outputPath);
  TStream& out = output.Stream();

  // Positions 0 to 2047: one maker entry, one module.
  std::vector<uint8_t> head(kLoaderSector, 0);
  StoreBE32(&head[0], 0x00010000u);
  const auto makerIndex = static_cast<size_t>(ref.MakerIndex);
  ReadSourceAt(source, sourceSize, 4 + kMakerRecordSize * static_cast<int64_t>(makerIndex), &head[kNewMakerRecord],
               kMakerRecordSize, "its maker record");
  StoreBE32(&head[kNewMakerRecord + 12], 0x00010000u);
  const int64_t namePos =
      ModuleNameRecordPosition(dir, makerIndex, static_cast<size_t>(ref.ModuleIndex));
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

    if (const UnitWriter* write = writerOf(i)) {
      w += (*write)(out);
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
  const auto padded = static_cast<int64_t>(RoundUp(static_cast<uint64_t>(n), kLoaderSector));
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
