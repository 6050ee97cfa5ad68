// The check of a rebuilt LOADING.KWI: its directory sector and the module's
// unit table as a rebuild from the source writes them, every unit at the
// position its entry gives, every other unit equal to the source's copy, the
// translated unit checked as a .BIN is, and the zero gaps and padding.
#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "analysis/UnitHeader.h"
#include "container/io/ByteOrder.h"
#include "container/kiwi/KiwiPrimitives.h"
#include "container/kiwi/LoaderLayout.h"
#include "container/kiwi/LoaderRebuild.h"
#include "project/build/LoaderBuild.h"
#include "project/build/ModuleGroup.h"
#include "project/build/SourceLoader.h"
#include "container/kiwi/Loading.h"
#include "container/io/StreamErrors.h"
#include "container/io/TLN_FileStream.h"
#include "project/verify/BuiltIdentity.h"
#include "project/verify/DifferingRuns.h"
#include "project/verify/Verify.h"
#include "project/verify/VerifyReport.h"

namespace velmora {

namespace {

using namespace loader_layout;
using verify::DifferingRun;
using verify::DifferingRuns;
using verify::RunPlace;
using verify::RunValues;

constexpr uint64_t kModuleData = kRebuiltModuleData;
constexpr uint64_t kRecord = kRebuiltModuleRecord;
constexpr uint64_t kModuleStartField = kRebuiltModuleStart;
constexpr uint64_t kSectorCountField = kRebuiltModuleLength;
constexpr uint64_t kDirectoryUsed = kRebuiltDirectoryEnd;

struct UnitPlace {
  std::string name;
  uint32_t size = 0;           // the directory's size of the unit in the source
  uint32_t sourceOffset = 0;
  bool translated = false;
  size_t project = 0;          // translated: its project's position in the list
  uint64_t pos = 0;            // where it lies in the built loader
  uint64_t length = 0;         // the bytes it takes there, padding included
  int64_t entryField = -1;     // position of its entry's offset field, -1 when it names no position
};

void AddSummary(BuildSummary& total, const BuildSummary& one) {
  total.InPlace += one.InPlace;
  total.Relocated += one.Relocated;
  total.AppendedBytes += one.AppendedBytes;
  total.OldSize += one.OldSize;
  total.NewSize += one.NewSize;
  total.PaddedSize += one.PaddedSize;
}

// What a rebuild from the source writes, worked out from the source's
// directory and the project's plan.
struct ExpectedLoader {
  std::vector<uint8_t> head;   // the directory sector
  std::vector<uint8_t> table;  // split layout: the unit table at 2048
  std::vector<UnitPlace> units;
  std::string moduleName;      // the module's name in the source
  uint64_t moduleEnd = 0;      // just after the last unit
  uint64_t fileSize = 0;
};

// The dir must be the source's, already found suitable for every project;
// summaries[k] is the build summary of projects[k].
ExpectedLoader Expect(const ProjectList& projects, const std::vector<BuildSummary>& summaries,
                      const TLN_Loading& dir, TStream& source, int64_t sourceSize) {
  const PhraseTable& table = *projects.front();
  const auto makerIndex = static_cast<size_t>(table.Info.MakerIndex);
  const auto moduleIndex = static_cast<size_t>(table.Info.ModuleIndex);
  std::map<size_t, size_t> projectOf;  // unit index -> project
  for (size_t k = 0; k < projects.size(); ++k) projectOf[static_cast<size_t>(projects[k]->Info.UnitIndex)] = k;
  const TLN_Module_Info& module = dir.Frame.Makers[makerIndex].Modules[moduleIndex];
  const size_t count = module.Units.size();
  if (!module.SplitTable && count > kRecordUnitSlots)
    throw EFormatError("The source module lists more units than its record has room for.");

  ExpectedLoader e;
  e.moduleName = module.Name;
  RebuiltDirectory directory =
      ReadRebuiltDirectory(dir, source, sourceSize, {table.Info.MakerIndex, table.Info.ModuleIndex});
  e.head = std::move(directory.Head);
  e.table = std::move(directory.Table);

  uint64_t w = kModuleData;
  if (module.SplitTable && count > 0) w = kModuleData + (module.Units[0].Offset - module.Start);
  const uint64_t entries0 = kRecord + kFirstUnitEntry + kUnitEntryOffsetField;  // offset field of record entry 0
  for (size_t i = 0; i < count; ++i) {
    const TLN_Unit_Info& u = module.Units[i];
    UnitPlace place;
    place.name = u.Name;
    place.size = u.Size;
    place.sourceOffset = u.Offset;
    const auto translated = projectOf.find(i);
    place.translated = translated != projectOf.end();
    if (place.translated) place.project = translated->second;
    place.pos = w;
    place.length = place.translated ? summaries[place.project].PaddedSize : uint64_t{u.Size} + (u.Size % 2);

    // The entry's offset field and the value a rebuild leaves there.
    uint8_t* field = nullptr;
    if (i == 0) {
      place.entryField = static_cast<int64_t>(entries0);
      field = &e.head[entries0];
      if (!module.SplitTable && u.Offset != kNoAddress && u.Offset != module.Start) StoreBE32(field, 0);
    } else if (module.SplitTable) {
      place.entryField = static_cast<int64_t>(kModuleData + 4 + kUnitEntrySize * (i - 1) + kUnitEntryOffsetField);
      field = &e.table[4 + kUnitEntrySize * (i - 1) + kUnitEntryOffsetField];
      StoreBE32(field, static_cast<uint32_t>((w - kModuleData) / 2));
    } else {
      place.entryField = static_cast<int64_t>(entries0 + kUnitEntrySize * i);
      field = &e.head[entries0 + kUnitEntrySize * i];
      StoreBE32(field, static_cast<uint32_t>((w - kModuleData) / 2));
    }
    if (LoadBE32(field) == kNoAddress) place.entryField = -1;
    e.units.push_back(place);
    w += place.length;
  }
  e.moduleEnd = w;
  const uint64_t padded = RoundUp(w - kModuleData, kModuleData);
  if (padded / kModuleData > 0xFFFF) throw EFormatError("The module would be longer than a loader directory can record.");
  StoreBE16(&e.head[kSectorCountField], static_cast<uint16_t>(padded / kModuleData));
  e.fileSize = kModuleData + padded;
  return e;
}

class LoaderCheck {
 public:
  LoaderCheck(const ProjectList& projects, const std::vector<TranslationPlan>& plans, const ExpectedLoader& e,
              const std::string& builtPath, verify::BuiltFile& built, TStream& source, int64_t sourceSize,
              VerifyResult& result, verify::Report& report)
      : projects_(projects), plans_(plans), e_(e), builtPath_(builtPath), built_(built), source_(source),
        sourceSize_(sourceSize), result_(result), report_(report) {
    for (size_t i = 0; i < e.units.size(); ++i)
      if (e.units[i].entryField >= 0) entryOf_[static_cast<uint64_t>(e.units[i].entryField)] = i;
  }

  void Run() {
    // A cut file is told first: the problems after it follow from the cut.
    const auto size = static_cast<uint64_t>(built_.Size());
    if (size < e_.fileSize)
      report_.Problem(VerifyKind::FileLength, size,
                      "truncated: the file holds " + std::to_string(size) + " bytes; the rebuilt loader takes " +
                          std::to_string(e_.fileSize) + ", so " + std::to_string(e_.fileSize - size) + " are missing");
    CheckFixed(0, e_.head, &LoaderCheck::DirectoryPart);
    if (!e_.table.empty()) {
      CheckFixed(kModuleData, e_.table, [](uint64_t) { return std::string("the module's unit table"); });
      CheckZeros(kModuleData + e_.table.size(), e_.units.front().pos, "the gap between the unit table and unit 0");
    }
    for (size_t i = 0; i < e_.units.size(); ++i) {
      const UnitPlace& u = e_.units[i];
      const uint64_t problemsBefore = result_.ProblemCount;
      UnitVerifySummary summary;
      summary.UnitIndex = i;
      summary.Name = u.name;
      summary.Translated = u.translated;
      if (u.translated) {
        const TranslationPlan& plan = plans_[u.project];
        summary.Build = plan.Summary;
        // With several translated units, each problem says which one it is in.
        if (projects_.size() > 1) report_.SetContext("unit " + std::to_string(i) + " (" + u.name + "): ");
        verify::CheckUnit(*projects_[u.project], plan, built_, static_cast<int64_t>(u.pos), report_);
        report_.SetContext("");
        if (u.size != plan.Summary.NewSize)
          report_.Note("The directory entry of unit " + std::to_string(i) + " (" + u.name + ") keeps its old size " +
                       std::to_string(u.size) + "; the unit's own header gives its new size " +
                       std::to_string(plan.Summary.NewSize) + ", and the unit is read by that.");
      } else {
        CompareWithSource(i);
        if (u.size % 2 != 0) CheckZeros(u.pos + u.size, u.pos + u.length, "the byte that keeps the next unit even");
      }
      summary.Problems = result_.ProblemCount - problemsBefore;
      result_.Units.push_back(summary);
    }
    CheckZeros(e_.moduleEnd, e_.fileSize, "the module's padding after its last unit");
    if (size > e_.fileSize)
      report_.Problem(VerifyKind::FileLength, e_.fileSize,
                      "the file holds " + std::to_string(size) + " bytes; the rebuilt loader takes " +
                          std::to_string(e_.fileSize));
    if (result_.ProblemCount > 0) IdentifyUnits();
  }

  // Whether the loader carries the projects' units where its own directory
  // puts them: a loader built from another project names another unit
  // there, holds another unit's header, or carries the translation in
  // another unit while the project's unit is the source's copy.
  void IdentifyUnits() {
    const TLN_Loading dir(builtPath_);
    if (!dir.Valid || dir.Frame.Makers.empty() || dir.Frame.Makers[0].Modules.empty()) return;
    const TLN_Module_Info& builtModule = dir.Frame.Makers[0].Modules[0];
    if (builtModule.Name != e_.moduleName) {
      result_.OtherUnit = "it carries the module \"" + builtModule.Name + "\"; the project's unit " +
                          projects_.front()->UnitTitle() + " is in \"" + e_.moduleName + "\"";
      return;
    }
    const std::vector<TLN_Unit_Info>& builtUnits = builtModule.Units;
    for (size_t i = 0; i < e_.units.size() && result_.OtherUnit.empty(); ++i) {
      const UnitPlace& u = e_.units[i];
      if (!u.translated) continue;
      const PhraseTable& table = *projects_[u.project];
      const std::string place = "unit " + std::to_string(i);
      if (i >= builtUnits.size()) {
        result_.OtherUnit = "its module has no " + place + "; the project's unit is " + table.UnitTitle();
      } else if (builtUnits[i].Name != table.UnitName) {
        result_.OtherUnit = "its " + place + " is " + builtUnits[i].Name + "; the project's unit is " + table.UnitTitle();
      } else if (builtUnits[i].Offset != kNoAddress) {
        result_.OtherUnit = verify::OtherUnitAt(table, built_, builtUnits[i].Offset, "its " + place + " (" + u.name + ")");
        if (result_.OtherUnit.empty() && result_.Units[i].Problems > 0 && SameAsSource(i, builtUnits[i].Offset))
          result_.OtherUnit = UntranslatedText(i, builtUnits);
      }
    }
  }

  // The project's unit i is the source's copy: the translation, if any, is
  // in another unit.
  std::string UntranslatedText(size_t i, const std::vector<TLN_Unit_Info>& builtUnits) {
    const std::string mine = "unit " + std::to_string(i) + " (" + e_.units[i].name + ")";
    for (size_t j = 0; j < e_.units.size() && j < builtUnits.size(); ++j)
      if (!e_.units[j].translated && result_.Units[j].Problems > 0 && builtUnits[j].Offset != kNoAddress &&
          !SameAsSource(j, builtUnits[j].Offset))
        return "it carries a translation of unit " + std::to_string(j) + " (" + e_.units[j].name +
               "), not of the project's " + mine;
    return "its " + mine + " is the source's untranslated copy";
  }

  // Whether the built file holds unit i of the source, byte for byte, at pos.
  bool SameAsSource(size_t i, uint64_t pos) {
    const UnitPlace& u = e_.units[i];
    if (u.sourceOffset == kNoAddress || int64_t{u.sourceOffset} + int64_t{u.size} > sourceSize_) return false;
    std::vector<uint8_t> got(static_cast<size_t>(std::min<uint64_t>(verify::kChunk, std::max<uint32_t>(u.size, 1))));
    std::vector<uint8_t> want(got.size());
    for (uint64_t c = 0; c < u.size; c += got.size()) {
      const auto n = static_cast<size_t>(std::min<uint64_t>(got.size(), u.size - c));
      source_.SetPosition(static_cast<int64_t>(u.sourceOffset + c));
      source_.ReadBuffer(want.data(), n);
      if (built_.ReadAt(static_cast<int64_t>(pos + c), got.data(), n) != n) return false;
      if (std::memcmp(got.data(), want.data(), n) != 0) return false;
    }
    return true;
  }

 private:
  static std::string DirectoryPart(uint64_t pos) {
    if (pos < kRebuiltMakerRecord) return "the maker-entry count (a rebuilt loader holds one maker entry)";
    if (pos < kRebuiltMakerModuleCount) return "the maker record";
    if (pos < kRebuiltNameRecord) return "the maker record's module count (a rebuilt loader holds one module)";
    if (pos < kRecord) return "the module name record";
    if (pos >= kModuleStartField && pos < kSectorCountField) return "the module start (sector 1)";
    if (pos < kDirectoryUsed) {
      const uint64_t r = pos - kRecord;
      if (r >= kFirstUnitEntry && r < kFirstUnitEntry + kRecordUnitSlots * kUnitEntrySize)
        return "unit entry " + std::to_string((r - kFirstUnitEntry) / kUnitEntrySize) + " of the module record";
      return "the module record";
    }
    return "the directory's zero padding";
  }

  // Compares bytes that a rebuild writes in full (the directory sector, the
  // unit table); unit entries' offsets and the sector count are checked as
  // values.
  void CheckFixed(uint64_t at, const std::vector<uint8_t>& want, const std::function<std::string(uint64_t)>& part) {
    std::vector<uint8_t> got(want.size());
    const size_t n = built_.ReadAt(static_cast<int64_t>(at), got.data(), got.size());
    std::set<uint64_t> valueBytes;
    for (const auto& [field, unit] : entryOf_)
      if (field >= at && field + 4 <= at + n) {
        for (uint64_t k = 0; k < 4; ++k) valueBytes.insert(field + k);
        CheckEntry(unit, LoadBE32(&got[field - at]));
      }
    if (at == 0 && n >= kSectorCountField + 2) {
      valueBytes.insert(kSectorCountField);
      valueBytes.insert(kSectorCountField + 1);
      const uint16_t held = LoadBE16(&got[kSectorCountField]), sectors = LoadBE16(&want[kSectorCountField]);
      if (held != sectors)
        report_.Problem(VerifyKind::Directory, kSectorCountField,
                        "the module's sector count holds " + std::to_string(held) + "; the module takes " +
                            std::to_string(sectors) + " sectors");
    }
    DifferingRuns runs([&](const DifferingRun& run) {
      report_.Problem(at == 0 ? VerifyKind::Directory : VerifyKind::ModuleData, run.Start,
                      part(run.Start) + " differs from what a rebuild from the source writes" +
                          RunPlace(run, "position") + RunValues(run));
    });
    std::string last;
    for (size_t k = 0; k < n; ++k) {
      const uint64_t pos = at + k;
      if (got[k] == want[k] || valueBytes.count(pos)) continue;
      const std::string name = part(pos);
      if (name != last) runs.Flush(), last = name;  // a run never spans two parts
      runs.Add(pos, got[k], want[k]);
    }
    runs.Flush();
  }

  void CheckEntry(size_t i, uint32_t held) {
    const UnitPlace& u = e_.units[i];
    const auto field = static_cast<uint64_t>(u.entryField);
    const uint64_t gives = kModuleData + static_cast<uint32_t>(held * 2u);
    if (held != kNoAddress && gives == u.pos) return;
    report_.Problem(VerifyKind::UnitEntry, field,
                    "unit entry " + std::to_string(i) + " (" + u.name + ") gives " +
                        (held == kNoAddress ? std::string("no position") : "position " + FormatHex0x(gives)) +
                        "; the unit lies at " + FormatHex0x(u.pos));
  }

  void CheckZeros(uint64_t from, uint64_t to, const char* what) {
    DifferingRuns runs([&](const DifferingRun& run) {
      report_.Problem(VerifyKind::ModuleData, run.Start,
                      std::string(what) + " is not zero" + RunPlace(run, "position") + RunValues(run));
    });
    std::vector<uint8_t> buffer(static_cast<size_t>(std::min<uint64_t>(verify::kChunk, to > from ? to - from : 1)));
    for (uint64_t c = from; c < to; c += buffer.size()) {
      const size_t n = built_.ReadAt(static_cast<int64_t>(c), buffer.data(),
                                     static_cast<size_t>(std::min<uint64_t>(buffer.size(), to - c)));
      for (size_t k = 0; k < n; ++k)
        if (buffer[k] != 0) runs.Add(c + k, buffer[k], 0);
      if (n < buffer.size()) break;
    }
    runs.Flush();
  }

  void CompareWithSource(size_t i) {
    const UnitPlace& u = e_.units[i];
    if (u.size == 0) return;
    const std::string name = "unit " + std::to_string(i) + " (" + u.name + ")";
    if (u.sourceOffset == kNoAddress || int64_t{u.sourceOffset} + int64_t{u.size} > sourceSize_) {
      report_.Problem(VerifyKind::OtherUnit, u.pos,
                      name + " reaches past the end of the source loader, so it cannot be compared");
      return;
    }
    DifferingRuns runs([&](const DifferingRun& run) {
      report_.Problem(VerifyKind::OtherUnit, run.Start,
                      name + " differs from the source's copy" + RunPlace(run, "unit offset", u.pos) + RunValues(run));
    });
    std::vector<uint8_t> got(static_cast<size_t>(std::min<uint64_t>(verify::kChunk, u.size)));
    std::vector<uint8_t> want(got.size());
    for (uint64_t c = 0; c < u.size; c += got.size()) {
      const auto n = static_cast<size_t>(std::min<uint64_t>(got.size(), u.size - c));
      source_.SetPosition(static_cast<int64_t>(u.sourceOffset + c));
      source_.ReadBuffer(want.data(), n);
      const size_t have = built_.ReadAt(static_cast<int64_t>(u.pos + c), got.data(), n);
      if (std::memcmp(got.data(), want.data(), have) != 0)
        for (size_t k = 0; k < have; ++k)
          if (got[k] != want[k]) runs.Add(u.pos + c + k, got[k], want[k]);
      if (have < n) break;  // the file ends here: reported as its length
    }
    runs.Flush();
  }

  const ProjectList& projects_;
  const std::vector<TranslationPlan>& plans_;
  const ExpectedLoader& e_;
  const std::string& builtPath_;
  verify::BuiltFile& built_;
  TStream& source_;
  const int64_t sourceSize_;
  VerifyResult& result_;
  verify::Report& report_;
  std::map<uint64_t, size_t> entryOf_;  // entry offset field position -> unit
};

// The source's directory and what a rebuild from it writes; the source must
// already be known to be suitable.
struct SourceView {
  explicit SourceView(const std::string& path)
      : dir(path), stream(path), size(stream.Size()) {}
  TLN_Loading dir;
  TLN_FileStream stream;  // a volume set is read as the rebuild reads it: whole
  int64_t size;
};

}  // namespace

VerifyResult VerifyLoader(const PhraseTable& table, const std::string& builtPath, const std::string& sourcePath) {
  return VerifyLoader(ProjectList{&table}, builtPath, sourcePath);
}

VerifyResult VerifyLoader(const ProjectList& projects, const std::string& builtPath, const std::string& sourcePath) {
  if (projects.empty()) throw EFormatError("No project to verify the loader against.");
  if (projects.size() > 1)
    if (const auto problem = CheckModuleGroup(projects))
      throw ERefusal("The loader cannot carry " + GroupMemberName(problem->Index, *projects[problem->Index]) +
                         ": " + problem->Reason + ".");
  size_t failed = 0;
  const SourceCheck check = CheckGroupSource(projects, sourcePath, &failed);
  if (check != SourceCheck::Suitable)
    throw EFormatError("The source loader \"" + sourcePath + "\" does not serve " +
                       (projects.size() > 1 ? GroupMemberName(failed, *projects[failed]) : std::string("the project")) +
                       ": " + SourceCheckText(check) + ".");
  VerifyResult result;
  result.Kind = BuiltKind::Loader;
  std::vector<TranslationPlan> plans;
  std::vector<BuildSummary> summaries;
  for (const PhraseTable* table : projects) {
    plans.push_back(PlanTranslations(*table));
    summaries.push_back(plans.back().Summary);
    AddSummary(result.Summary, plans.back().Summary);
  }
  SourceView source(sourcePath);
  const ExpectedLoader expected = Expect(projects, summaries, source.dir, source.stream, source.size);
  verify::Report report(result);
  verify::BuiltFile built(builtPath);
  LoaderCheck(projects, plans, expected, builtPath, built, source.stream, source.size, result, report).Run();
  return result;
}

BuiltKind GuessBuiltKind(const PhraseTable& table, const std::string& builtPath, const std::string& sourcePath) {
  if (table.Info.MakerIndex < 0) return BuiltKind::Bin;
  std::vector<uint8_t> head;
  std::optional<uint64_t> unitPos;  // where a rebuild puts the unit
  if (!sourcePath.empty() && CheckSource(table, sourcePath) == SourceCheck::Suitable) {
    try {
      SourceView source(sourcePath);
      ExpectedLoader e = Expect({&table}, {SummarizeBuild(table)}, source.dir, source.stream, source.size);
      head = std::move(e.head);
      const auto unit = static_cast<size_t>(table.Info.UnitIndex);
      if (unit < e.units.size()) unitPos = e.units[unit].pos;
    } catch (const EStreamError&) {
      head.clear();  // judged by the fixed bytes alone
    }
  }
  verify::BuiltFile built(builtPath);
  // The unit's body, where each kind holds it. The first sector is left out
  // of the .BIN's share: it is what a damaged file most often loses.
  const double asBinBody = verify::ImageMatch(table, built, 0, kModuleData).value_or(0);
  const double asLoaderBody =
      unitPos ? verify::ImageMatch(table, built, static_cast<int64_t>(*unitPos), kUnitHeaderSize).value_or(0) : 0;
  if (std::max(asBinBody, asLoaderBody) >= verify::kSameUnitShare)
    return asBinBody >= asLoaderBody ? BuiltKind::Bin : BuiltKind::Loader;
  // Not the project's unit where either kind holds it (a build of another
  // unit): the file's own structure, a unit whose header's size and checksum
  // hold, or a loader's directory.
  const bool unit = verify::HoldsSoundUnit(built);
  if (unit != TLN_Loading(builtPath).Valid) return unit ? BuiltKind::Bin : BuiltKind::Loader;
  std::vector<uint8_t> first(kModuleData);
  first.resize(built.ReadAt(0, first.data(), first.size()));
  const uint64_t imageLength = std::min<uint64_t>(table.ImageLength(), table.UnitImage.size());
  size_t asBin = 0, asLoader = 0;
  for (size_t i = 0; i < first.size(); ++i) {
    asBin += first[i] == (i < imageLength ? table.UnitImage[i] : 0);
    if (!head.empty()) {
      asLoader += first[i] == head[i];
    } else {
      // The count words and the module start, as a rebuild writes them.
      const bool fixed = i < kRebuiltMakerRecord || (i >= kRebuiltMakerModuleCount && i < kRebuiltNameRecord) ||
                         (i >= kModuleStartField && i < kSectorCountField) || i >= kDirectoryUsed;
      uint8_t want = 0;
      if (i == 1 || i == kRebuiltMakerModuleCount + 1) want = 1;  // 00 01 00 00
      if (i == kModuleStartField + 2) want = 1;                   // 00 00 01 00
      asLoader += fixed && first[i] == want;
    }
  }
  return asLoader > asBin ? BuiltKind::Loader : BuiltKind::Bin;
}

}  // namespace velmora
