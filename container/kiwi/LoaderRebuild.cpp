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

constexpr const char* kModuleTooLong = "The module would be longer than a loader directory can record.";

// Reads exactly count bytes at pos of a source of the given size; a source
// too short for them is a damaged source, not a reason to read zeros.
void ReadSourceRecord(TStream& source, int64_t sourceSize, int64_t pos, void* buffer, size_t count,
                      const char* what) {
  if (ReadBytesAt(source, pos, buffer, count, sourceSize) != count)
    throw EFormatError(std::string("The source loader ends before ") + what + ".");
}

// Every position the rebuild will copy from or pad up to is checked against
// the source before a byte is written, so a damaged directory fails at once
// instead of after gigabytes of zeros or copies.
template <typename WriterOf>
void CheckModuleFitsSource(const TLN_Module_Info& module, int64_t sourceSize, const WriterOf& writerOf) {
  uint64_t least = 0;  // the module's bytes known before the translated units are built
  if (module.SplitTable && !module.Units.empty()) {
    const TLN_Unit_Info& first = module.Units[0];
    if (int64_t{first.Offset} > sourceSize)
      throw EFormatError("The source module's first unit lies past the end of the source loader.");
    least = first.Offset - module.Start;
  }
  for (size_t i = 0; i < module.Units.size(); ++i) {
    const TLN_Unit_Info& unit = module.Units[i];
    if (writerOf(i) || unit.Size == 0) continue;
    if (unit.Offset == kNoAddress || int64_t{unit.Offset} + int64_t{unit.Size} > sourceSize)
      throw EFormatError("Unit " + std::to_string(i) + " (" + unit.Name + ") reaches past the end of the source loader.");
    least += unit.Size + unit.Size % 2;
  }
  if (RoundUp(least, kSectorSize) / kSectorSize > 0xFFFF) throw EFormatError(kModuleTooLong);
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

RebuiltDirectory ReadRebuiltDirectory(const TLN_Loading& dir, TStream& source, int64_t sourceSize,
                                      const LoaderModuleRef& ref) {
  const auto makerIndex = static_cast<size_t>(ref.MakerIndex);
  const auto moduleIndex = static_cast<size_t>(ref.ModuleIndex);
  const TLN_Module_Info& module = dir.Frame.Makers[makerIndex].Modules[moduleIndex];
  RebuiltDirectory d;
  std::vector<uint8_t>& head = d.Head;
  head.assign(kRebuiltModuleData, 0);
  StoreBE32(&head[0], kRebuiltCountWord);
  ReadSourceRecord(source, sourceSize, 4 + kMakerRecordSize * static_cast<int64_t>(makerIndex),
                   &head[kRebuiltMakerRecord], kMakerRecordSize, "its maker record");
  StoreBE32(&head[kRebuiltMakerModuleCount], kRebuiltCountWord);
  ReadSourceRecord(source, sourceSize, ModuleNameRecordPosition(dir, makerIndex, moduleIndex),
                   &head[kRebuiltNameRecord], kNameRecordSize, "its module name record");
  ReadSourceRecord(source, sourceSize, module.RecordOffset, &head[kRebuiltModuleRecord], kModuleRecordSize,
                   "its module record");
  StoreBE32(&head[kRebuiltModuleStart], kRebuiltModuleStartAddress);

  if (module.SplitTable && !module.Units.empty()) {
    d.Table.resize(static_cast<size_t>(4 + kUnitEntrySize * static_cast<int64_t>(module.Units.size() - 1)));
    ReadSourceRecord(source, sourceSize, module.Start, d.Table.data(), d.Table.size(), "its unit table");
    const TLN_Unit_Info& first = module.Units[0];
    if (first.Offset == kNoAddress || first.Offset < module.Start || first.Offset - module.Start < d.Table.size())
      throw EFormatError("The source module's first unit overlaps its unit table.");
  }
  return d;
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
  CheckModuleFitsSource(module, sourceSize, writerOf);
  TAtomicFile output(outputPath);
  TStream& out = output.Stream();

  // Positions 0 to 2047: one maker entry, one module; written again once
  // the offsets are known.
  RebuiltDirectory directory = ReadRebuiltDirectory(dir, source, sourceSize, ref);
  std::vector<uint8_t>& head = directory.Head;
  std::vector<uint8_t>& splitTable = directory.Table;
  out.SetPosition(0);
  out.WriteBuffer(head.data(), head.size());

  uint8_t* entries = &head[kRebuiltRecordTable];  // offset field of entry k at entries + 12 + 16 k
  size_t shift = 0;
  int64_t w = kRebuiltModuleData;

  for (size_t i = 0; i < unitCount; ++i) {
    const TLN_Unit_Info& unit = module.Units[i];
    if (i == 0 && module.SplitTable) {
      out.WriteBuffer(splitTable.data(), splitTable.size());
      out.WriteZeros(unit.Offset - module.Start - splitTable.size());
      w = kRebuiltModuleData + (unit.Offset - module.Start);
    }
    if (i > 0) {
      StoreBE32(entries + 12 + kUnitEntrySize * static_cast<int64_t>(i - shift),
                static_cast<uint32_t>((w - kRebuiltModuleData) / 2));
    } else if (!module.SplitTable && unit.Offset != kNoAddress && unit.Offset != module.Start) {
      // Unit 0 goes to the module start; its entry is made to say so.
      StoreBE32(entries + 12, 0);
    }

    if (const UnitWriter* write = writerOf(i)) {
      w += (*write)(out);
    } else if (unit.Size > 0) {
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

  const int64_t n = w - kRebuiltModuleData;
  const auto padded = static_cast<int64_t>(RoundUp(static_cast<uint64_t>(n), kSectorSize));
  const int64_t sectors = padded / kSectorSize;
  if (sectors > 0xFFFF) throw EFormatError(kModuleTooLong);
  out.WriteZeros(static_cast<size_t>(padded - n));
  StoreBE16(&head[kRebuiltModuleLength], static_cast<uint16_t>(sectors));

  out.SetPosition(0);
  out.WriteBuffer(head.data(), head.size());
  if (!splitTable.empty()) {
    out.SetPosition(kRebuiltModuleData);
    out.WriteBuffer(splitTable.data(), splitTable.size());
  }
  output.Commit();
  return kRebuiltModuleData + padded;
}

}  // namespace velmora
