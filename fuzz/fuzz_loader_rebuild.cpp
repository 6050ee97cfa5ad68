// Fuzzes the source check and the loader rebuild on a hostile source: the
// first bytes choose a maker entry, module and unit and how the project is
// made; the rest is the source LOADING.KWI. The project is either made from
// the source itself (so the check passes and the rebuild runs deep) or put
// together from the choices with a small unit of its own. The source is
// never changed; a rebuilt loader is a valid one-module loader whose units
// are the source's units byte for byte, except the translated one, whose
// header's size and checksum agree with its bytes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzChecks.h"
#include "FuzzInputFile.h"
#include "analysis/ProjectCreation.h"
#include "container/kiwi/LoaderRebuild.h"
#include "project/build/LoaderBuild.h"
#include "project/build/SourceLoader.h"
#include "container/kiwi/Loading.h"
#include "container/io/Stream.h"
#include "container/io/StreamErrors.h"

using namespace velmora;

namespace {

// A project with a 512-byte unit of its own, named after the source's unit
// at the chosen place when there is one.
PhraseTable ChosenProject(const TLN_Loading& dir, int maker, int module, int unit) {
  PhraseTable t;
  t.Info.MakerIndex = maker;
  t.Info.ModuleIndex = module;
  t.Info.UnitIndex = unit;
  t.Info.UnitSize = t.Info.SourceSize = 512;
  t.UnitImage.assign(512, 0);
  StoreBE32(t.UnitImage.MutableData() + kBaseAddressOffset, 0x1000);
  StoreBE32(t.UnitImage.MutableData() + kUnitSizeOffset, 512);
  StoreBE32(t.UnitImage.MutableData() + 0x80, 0x1000 + 0x100);
  std::memcpy(t.UnitImage.MutableData() + 0x100, "Menu", 5);
  t.Phrases.push_back({0x80, 0x100, 4, 0, -1, -1});
  const auto& makers = dir.Frame.Makers;
  if (maker >= 0 && static_cast<size_t>(maker) < makers.size()) {
    const auto& modules = makers[static_cast<size_t>(maker)].Modules;
    if (module >= 0 && static_cast<size_t>(module) < modules.size()) {
      const auto& units = modules[static_cast<size_t>(module)].Units;
      if (unit >= 0 && static_cast<size_t>(unit) < units.size()) {
        t.UnitName = units[static_cast<size_t>(unit)].Name;
        t.Info.UnitOffset = units[static_cast<size_t>(unit)].Offset;
        const auto header = ReadUnitHeader(dir, t.Info.UnitOffset);
        t.UnitTag = header.UnitTag;
        t.Info.UnitChecksum = header.UnitChecksum;
      }
    }
  }
  return t;
}

std::vector<uint8_t> Slice(const std::vector<uint8_t>& v, uint64_t at, uint64_t n) {
  fuzz::Check(at + n <= v.size());
  return std::vector<uint8_t>(v.begin() + static_cast<std::ptrdiff_t>(at), v.begin() + static_cast<std::ptrdiff_t>(at + n));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::InputReader in(data, size);
  const uint8_t flags = in.Byte();
  const int makerChoice = in.Byte() % 20 - 1;
  const int moduleChoice = in.Byte() % 50 - 1;
  const int unitChoice = in.Byte() % 40 - 1;
  const std::vector<uint8_t> source(in.Rest(), in.Rest() + in.RestSize());
  const std::string path = fuzz::WriteInputFile("LOADING.KWI", source.data(), source.size());
  const std::string out = fuzz::ScratchPath("OUT.KWI");

  const TLN_Loading dir(path);
  PhraseTable table;
  bool made = false;
  if (flags & 1) {
    try {
      made = CreateProjectFromLoader(table, dir, makerChoice, moduleChoice, unitChoice, AnalysisOptions{},
                                     [](const std::string&) { return true; })
                 .Analysis.Completed;
    } catch (const std::exception&) {
    }
  }
  if (!made) table = ChosenProject(dir, makerChoice, moduleChoice, unitChoice);
  // One phrase translated longer than its room, so the unit grows.
  for (size_t i = 0; i < table.Phrases.size(); ++i) {
    if (table.Phrases[i].Flags & pfLink) continue;
    table.AppendEditedText(i, std::string(table.Phrases[i].Length + 7u, 'W'));
    table.Phrases[i].Flags = static_cast<uint16_t>(table.Phrases[i].Flags | pfOn);
    break;
  }

  const SourceCheck check = CheckSource(table, path);
  if (check != SourceCheck::Suitable && !(flags & 2)) return 0;
  int64_t written = 0;
  try {
    written = RebuildLoader(table, path, out);
  } catch (const EStreamError&) {
    fuzz::Check(ReadWholeFile(path) == source);
    return 0;
  }
  fuzz::Check(ReadWholeFile(path) == source);

  // The new loader: one maker entry, one module, the source module's units.
  const std::vector<uint8_t> built = ReadWholeFile(out);
  fuzz::Check(static_cast<int64_t>(built.size()) == written && built.size() % 2048 == 0);
  const TLN_Loading rebuilt(out);
  fuzz::Check(rebuilt.Valid && rebuilt.Frame.Makers.size() == 1);
  const auto& srcModule = dir.Frame.Makers[static_cast<size_t>(table.Info.MakerIndex)]
                              .Modules[static_cast<size_t>(table.Info.ModuleIndex)];
  const auto& newModule = rebuilt.Frame.Makers[0].Modules.at(0);
  fuzz::Check(newModule.Units.size() == srcModule.Units.size() && newModule.SplitTable == srcModule.SplitTable);
  for (size_t i = 0; i < newModule.Units.size(); ++i) {
    const TLN_Unit_Info& now = newModule.Units[i];
    const TLN_Unit_Info& was = srcModule.Units[i];
    fuzz::Check(now.Name == was.Name && now.Size == was.Size);
    if (i == static_cast<size_t>(table.Info.UnitIndex)) {
      if (table.ImageLength() == 0) continue;  // an empty unit is written as no bytes at all
      const auto header = Slice(built, now.Offset, kUnitHeaderSize);
      const uint32_t unitSize = LoadBE32(&header[kUnitSizeOffset]);
      const auto unit = Slice(built, now.Offset, unitSize);
      fuzz::Check(LoadBE32(&header[kUnitChecksumOffset]) == SumWords(unit.data(), unit.size()));
    } else if (was.Size > 0) {
      fuzz::Check(Slice(built, now.Offset, now.Size) == Slice(source, was.Offset, was.Size));
    }
  }
  return 0;
}
