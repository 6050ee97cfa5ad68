// Synthetic LOADING.KWI images and numbered volume sets.
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "container/io/AtomicFile.h"
#include "container/io/ByteOrder.h"
#include "container/kiwi/KiwiPrimitives.h"
#include "sampledata/SampleData.h"
#include "sampledata/SampleRandom.h"

namespace velmora::sample {

namespace {

constexpr uint32_t kSector = 2048;
constexpr size_t kMaxRecordUnits = 11;

// The position that the maker table reads back as name.
TLN_Position PositionOf(const std::string& name) {
  if (const auto p = PositionOfMaker(name)) return *p;
  throw std::invalid_argument("sample loader: unknown maker name \"" + name + "\"");
}

void StoreSignMagnitude24(uint8_t* p, int32_t v) {
  const uint32_t magnitude = v < 0 ? static_cast<uint32_t>(-static_cast<int64_t>(v)) : static_cast<uint32_t>(v);
  const uint32_t field = (magnitude & 0x7FFFFFu) | (v < 0 ? 0x800000u : 0u);
  p[0] = static_cast<uint8_t>(field >> 16);
  p[1] = static_cast<uint8_t>(field >> 8);
  p[2] = static_cast<uint8_t>(field);
  p[3] = 0;
}

void StoreText(uint8_t* p, const std::string& text, size_t room, const char* what) {
  if (text.size() > room)
    throw std::invalid_argument(std::string("sample loader: ") + what + " \"" + text + "\" longer than " +
                                std::to_string(room) + " bytes");
  std::memcpy(p, text.data(), text.size());
}

// RoundUp within the 32-bit positions of a loader.
uint32_t RoundUp32(uint64_t v, uint32_t to) {
  const uint64_t r = RoundUp(v, to);
  if (r > 0xFFFFFFFFull) throw std::invalid_argument("sample loader: larger than 4 GB");
  return static_cast<uint32_t>(r);
}

void StoreEntry(uint8_t* p, const std::string& name, uint32_t byteOffset, uint32_t size) {
  StoreText(p, name, 8, "unit name");
  StoreBE32(p + 8, byteOffset / 2);
  StoreBE32(p + 12, size);
}

// The data of one module, laid out from its first byte.
struct ModuleData {
  std::vector<uint8_t> bytes;
  bool split = false;
  std::vector<LoaderUnitLayout> units;  // offsets relative to the module start
};

ModuleData LayOutModule(const ModuleRecipe& m, bool aisin, Rng& rng) {
  ModuleData d;
  const size_t n = m.units.size();
  d.split = aisin && n > 0 && (m.splitLayout || n == 1 || n > kMaxRecordUnits);
  uint64_t pos = 0;
  if (d.split) {
    // The module's own unit table, then unit 0 from the next sector.
    pos = RoundUp32(4 + 16 * (n - 1), kSector);
  }
  for (const auto& [name, bytes] : m.units) {
    d.units.push_back({name, static_cast<uint32_t>(pos), static_cast<uint32_t>(bytes.size())});
    pos += bytes.size() + (bytes.size() & 1);  // every unit at an even offset
  }
  if (pos == 0) pos = kSector;  // a module without units still holds a sector of data
  d.bytes.assign(RoundUp32(pos, kSector), 0);
  if (m.units.empty())
    for (auto& b : d.bytes) b = static_cast<uint8_t>(rng.Next());
  for (size_t i = 0; i < n; ++i)
    std::copy(m.units[i].second.begin(), m.units[i].second.end(), d.bytes.begin() + d.units[i].offset);
  if (d.split) {
    StoreBE16(d.bytes.data(), static_cast<uint16_t>(n - 1));
    for (size_t i = 1; i < n; ++i)
      StoreEntry(d.bytes.data() + 4 + 16 * (i - 1), d.units[i].name, d.units[i].offset, d.units[i].size);
  }
  return d;
}

}  // namespace

std::vector<uint8_t> MakeLoader(const LoaderRecipe& desc, LoaderLayout* layoutOut) {
  const size_t makerCount = desc.makers.size();
  if (makerCount < 1 || makerCount > 19) throw std::invalid_argument("sample loader: 1 to 19 maker entries");
  size_t moduleTotal = 0;
  for (const auto& mk : desc.makers) {
    if (mk.modules.empty() || mk.modules.size() > 49)
      throw std::invalid_argument("sample loader: 1 to 49 modules per maker entry");
    moduleTotal += mk.modules.size();
  }

  Rng rng(0x10AD);
  LoaderLayout layout;
  const uint32_t directoryEnd = static_cast<uint32_t>(4 + 16 * makerCount + (64 + 256) * moduleTotal);
  uint32_t dataPos = RoundUp32(std::max<uint32_t>(directoryEnd, 1), kSector);

  // Module data first, so the records know where it lies.
  std::vector<std::vector<ModuleData>> data(makerCount);
  for (size_t i = 0; i < makerCount; ++i) {
    const MakerRecipe& mk = desc.makers[i];
    const TLN_Position pos = PositionOf(mk.makerName);
    LoaderMakerLayout ml{mk.makerName, pos.Longitude, pos.Latitude, {}};
    for (const ModuleRecipe& m : mk.modules) {
      data[i].push_back(LayOutModule(m, mk.makerName == kAisinMakerName, rng));
      const ModuleData& d = data[i].back();
      if (d.bytes.size() / kSector > 0xFFFF) throw std::invalid_argument("sample loader: module over 65535 sectors");
      LoaderModuleLayout mod;
      mod.start = dataPos;
      mod.length = static_cast<uint32_t>(d.bytes.size());
      mod.splitTable = d.split;
      for (LoaderUnitLayout u : d.units) {
        u.offset += dataPos;
        mod.units.push_back(u);
      }
      dataPos = RoundUp32(uint64_t{dataPos} + d.bytes.size(), kSector);
      ml.modules.push_back(std::move(mod));
    }
    layout.makers.push_back(std::move(ml));
  }

  std::vector<uint8_t> out(dataPos, 0);
  uint8_t* b = out.data();
  StoreBE16(b, static_cast<uint16_t>(makerCount));
  uint32_t p = static_cast<uint32_t>(4 + 16 * makerCount);
  for (size_t i = 0; i < makerCount; ++i) {
    const MakerRecipe& mk = desc.makers[i];
    LoaderMakerLayout& ml = layout.makers[i];
    uint8_t* rec = b + 4 + 16 * i;
    StoreSignMagnitude24(rec, ml.latitude);
    StoreSignMagnitude24(rec + 4, ml.longitude);
    rec[8] = 1;
    StoreBE16(rec + 10, static_cast<uint16_t>(0x0100 + i));
    StoreBE16(rec + 12, static_cast<uint16_t>(mk.modules.size()));

    // Name records, then module records.
    for (size_t k = 0; k < mk.modules.size(); ++k) {
      const ModuleRecipe& m = mk.modules[k];
      ml.modules[k].nameRecordOffset = p;
      b[p] = static_cast<uint8_t>(k + 1);
      StoreText(b + p + 4, m.name, 52, "module name");
      StoreText(b + p + 56, m.shortName, 8, "module short name");
      p += 64;
    }
    for (size_t k = 0; k < mk.modules.size(); ++k) {
      const ModuleRecipe& m = mk.modules[k];
      LoaderModuleLayout& mod = ml.modules[k];
      const ModuleData& d = data[i][k];
      mod.recordOffset = p;
      uint8_t* r = b + p;
      StoreBE16(r, static_cast<uint16_t>(k + 1));
      StoreBE16(r + 2, 0x0200);
      StoreText(r + 4, "LM " + m.shortName, 64, "record text");
      // Unit entries: word offsets from the module start.
      if (d.split) {
        StoreBE16(r + 68, 1);
        StoreEntry(r + 72, d.units[0].name, d.units[0].offset, d.units[0].size);
      } else if (d.units.size() <= kMaxRecordUnits) {
        StoreBE16(r + 68, static_cast<uint16_t>(d.units.size()));
        for (size_t u = 0; u < d.units.size(); ++u)
          StoreEntry(r + 72 + 16 * u, d.units[u].name, d.units[u].offset, d.units[u].size);
      }
      if (mk.makerName == kAisinMakerName)
        StoreBE32(r + 250, (mod.start / kSector) << 8);  // sector address, block 0
      else if (mk.makerName == kDensoMakerName)
        StoreBE32(r + 250, mod.start / kSector);  // sector number
      else
        StoreBE32(r + 250, mod.start);
      StoreBE16(r + 254, static_cast<uint16_t>(mod.length / kSector));
      std::copy(d.bytes.begin(), d.bytes.end(), out.begin() + mod.start);
      p += 256;
    }
    // Only AISIN-AW modules have units in the directory.
    if (mk.makerName != kAisinMakerName)
      for (auto& mod : ml.modules) mod.units.clear();
  }
  if (layoutOut) *layoutOut = std::move(layout);
  return out;
}

LoaderRecipe DemoLoaderRecipe() {
  auto unit = [](const std::string& tag, std::vector<SampleString> strings, uint32_t seed) {
    UnitRecipe u;
    u.tag = tag;
    u.strings = std::move(strings);
    u.seed = seed;
    return u;
  };
  auto filler = [](size_t size, uint32_t seed) {
    Rng rng(seed);
    std::vector<uint8_t> v(size);
    for (auto& b : v) b = static_cast<uint8_t>(rng.Next());
    return v;
  };

  UnitRecipe boot = unit("BOOT", EnglishMenuTexts(4, 21), 21);
  UnitRecipe map = unit("MAP", EnglishMenuTexts(20, 22), 22);
  map.order = Order::Scattered;
  UnitRecipe apm2 = unit("APM", EnglishMenuTexts(30, 23), 23);
  UnitRecipe foreign = unit("FOREIGN", EnglishMenuTexts(10, 24), 24);
  foreign.makerText = "ORVANE CORP.";
  UnitRecipe badSum = unit("BADSUM", EnglishMenuTexts(10, 25), 25);
  badSum.corruptChecksum = true;
  UnitRecipe japan = unit("JPN", JapaneseTexts(24, 26), 26);
  UnitRecipe euro = unit("EUR", EuropeanTexts(24, 27), 27);
  euro.moreTables.push_back({EuropeanFirmwareTexts(), Order::Packed});

  LoaderRecipe desc;
  desc.makers.push_back({"",
                         {{"KESTREL NAVIGATION SYSTEM", "KNS", false, {{"KNS0", filler(3000, 1)}, {"KNS1", filler(700, 2)}}},
                          {"KESTREL VOICE DATA", "KVD", false, {}}}});
  desc.makers.push_back({kAisinMakerName,
                         {{"AISIN NAVIGATION PROGRAM", "ANP", false,
                           {{"APM", MakeDemoApmUnit()}, {"MAP", MakeUnit(map).bytes}, {"BOOT", MakeUnit(boot).bytes}}},
                          {"AISIN NAVIGATION PROGRAM EXT", "ANPX", true,
                           {{"APM", MakeUnit(apm2).bytes},
                            {"FOREIGN", MakeUnit(foreign).bytes},
                            {"BADSUM", MakeUnit(badSum).bytes},
                            {"JPN", MakeUnit(japan).bytes},
                            {"EUR", MakeUnit(euro).bytes}}}}});
  desc.makers.push_back({"DENSO", {{"ORVANE AUDIO", "OAU", false, {{"OAU0", filler(5000, 3)}}}}});
  return desc;
}

LoaderRecipe BenchLoaderRecipe(size_t unitBytes, size_t phrases, uint32_t seed) {
  constexpr size_t kSmallUnit = size_t{512} << 10;
  // What a translation may append to the APM unit before the rebuilt module
  // would outgrow its 16-bit sector count.
  constexpr size_t kRoomToGrow = size_t{2} << 20;
  const char* const smallTags[] = {"MAP", "VOICE", "BOOT", "FONT", "DICT"};
  std::vector<std::pair<std::string, std::vector<uint8_t>>> small;
  for (const char* tag : smallTags) {
    UnitRecipe u;
    u.tag = tag;
    u.strings = EnglishMenuTexts(40, seed + static_cast<uint32_t>(small.size()) + 1);
    u.minSize = kSmallUnit;
    u.seed = seed + static_cast<uint32_t>(small.size()) + 1;
    small.emplace_back(tag, MakeUnit(u).bytes);
  }
  size_t room = kMaxModuleBytes - kRoomToGrow;
  for (const auto& unit : small) room -= unit.second.size() + unit.second.size() % 2;
  const size_t apmBytes = std::min(unitBytes, room / 4 * 4);

  auto data = [&](size_t size, uint32_t s) {
    Rng rng(s);
    std::vector<uint8_t> v(size);
    for (size_t i = 0; i + 8 <= size; i += 8) {
      const uint64_t r = rng.Next64();
      std::memcpy(v.data() + i, &r, 8);
    }
    return v;
  };

  ModuleRecipe apm{"AISIN NAVIGATION PROGRAM", "ANP", false, {{"APM", MakeBenchUnit(apmBytes, phrases, seed).bytes}}};
  for (auto& unit : small) apm.units.push_back(std::move(unit));
  LoaderRecipe desc;
  desc.makers.push_back(
      {"", {{"KESTREL MAP DATA", "KMD", false, {{"KMD0", data(32u << 20, seed)}, {"KMD1", data(32u << 20, seed + 9)}}}}});
  desc.makers.push_back({kAisinMakerName, {std::move(apm)}});
  return desc;
}

std::vector<std::vector<uint8_t>> SplitIntoVolumes(const std::vector<uint8_t>& data, size_t volumeSize) {
  if (volumeSize == 0) throw std::invalid_argument("sample volumes: volume size 0");
  std::vector<std::vector<uint8_t>> out;
  for (size_t pos = 0; pos < data.size(); pos += volumeSize)
    out.emplace_back(data.begin() + static_cast<std::ptrdiff_t>(pos),
                     data.begin() + static_cast<std::ptrdiff_t>(std::min(data.size(), pos + volumeSize)));
  return out;
}

std::vector<std::string> WriteVolumeSet(const std::string& dir, const std::string& firstName,
                                        const std::vector<std::vector<uint8_t>>& volumes) {
  const auto dot = firstName.find('.');
  if (dot == 0 || dot == std::string::npos) throw std::invalid_argument("sample volumes: name without a digit before '.'");
  if (volumes.size() > 16) throw std::invalid_argument("sample volumes: at most 16 volumes");
  std::filesystem::create_directories(dir);
  std::vector<std::string> paths;
  for (size_t k = 0; k < volumes.size(); ++k) {
    std::string name = firstName;
    name[dot - 1] = static_cast<char>(48 + k + 1);  // '1'..'9', then ':' and on, as the reader looks for them
    const std::string path = dir + "/" + name;
    WriteFileAtomically(path, volumes[k].data(), volumes[k].size());
    paths.push_back(path);
  }
  return paths;
}

}  // namespace velmora::sample
