// velmora-cli info: shows what a LOADING.KWI or a loading unit (.BIN) holds,
// much as readelf shows an object file: the loader's maker entries, modules
// and units with each unit's header and checksum, or the header and checksum
// of a single unit.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "analysis/SourceKind.h"
#include "analysis/UnitHeader.h"
#include "cli/CliCommon.h"
#include "container/io/ByteOrder.h"
#include "container/kiwi/KiwiPrimitives.h"
#include "container/kiwi/Loading.h"
#include "container/io/TLN_FileStream.h"
#include "project/text/HexText.h"

namespace velmora::cli {
namespace {

const char* kUsage =
    "Usage: velmora-cli info FILE\n"
    "\n"
    "Shows the contents of a loader (LOADING.KWI) or of one loading unit (.BIN).\n"
    "\n"
    "For a loader: whether its directory is valid, every maker entry (name and\n"
    "position), its modules (name, start, length, layout of the unit table,\n"
    "unit count) and their units (name, offset, size, header tag and maker text,\n"
    "stored and computed checksum). The checksum is computed over the smaller of\n"
    "the unit's directory size and the size its header declares, as far as the\n"
    "file holds those bytes.\n"
    "\n"
    "For a unit: its header fields and its stored and computed checksum (over the\n"
    "smaller of the declared size and the file size).\n"
    "\n"
    "A file named *.BIN is always read as a unit. Any other file is read as a\n"
    "loader; when its directory is not valid it is read as a unit. A unit must\n"
    "look like one: at least 128 bytes, a declared size of at least 128 bytes,\n"
    "and a tag and a maker text made of printable ASCII characters. The maker\n"
    "text may be empty in a *.BIN with a tag (a translation moved out of the\n"
    "header empties it); elsewhere it must not be.\n"
    "\n"
    "Exit status: 0 when the file was shown, 1 when it cannot be read or is\n"
    "neither a valid loader nor a unit, 2 for a wrong command line.\n"
    "\n"
    "Example:\n"
    "  velmora-cli info demo/LOADING.KWI\n";

// An 8-bit text for the terminal: printable ASCII as it is, other bytes as \xNN.
std::string Shown(const std::string& text) {
  std::string out;
  for (const unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      out += static_cast<char>(c);
    } else {
      out += "\\x" + FormatHex(c, 2);
    }
  }
  return out;
}

std::string Pad(const std::string& s, size_t width) {
  return s.size() >= width ? s + " " : s + std::string(width - s.size(), ' ');
}

bool IsPrintableAscii(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](unsigned char c) { return c >= 0x20 && c < 0x7F; });
}

// Degrees of a coordinate in 1/8 arc-second units, with its hemisphere.
std::string Degrees(int32_t units, char positive, char negative) {
  char buf[32];
  const double deg = static_cast<double>(units) / kCoordinateUnitsPerDegree;
  std::snprintf(buf, sizeof buf, "%.5f %c", deg < 0 ? -deg : deg, units < 0 ? negative : positive);
  return buf;
}

void PrintLoader(const TLN_Loading& loader, int64_t fileSize) {
  TLN_FileStream file(loader.FileName);
  TBoundedStream s(file, fileSize);
  // Entries that repeat one unit (a damaged table) are summed once.
  std::map<std::pair<uint32_t, uint32_t>, uint32_t> sums;
  std::cout << "Loader:   " << loader.FileName << "\n"
            << "Size:     " << fileSize << " bytes\n"
            << "Valid:    yes\n"
            << "Makers:   " << loader.Frame.MakerCount << "\n";
  for (size_t mi = 0; mi < loader.Frame.Makers.size(); ++mi) {
    const auto& maker = loader.Frame.Makers[mi];
    std::cout << "\nMaker " << mi << ": " << (maker.MakerName.empty() ? "(unknown maker)" : maker.MakerName) << "\n"
              << "  Position:  longitude " << maker.Longitude << " (" << Degrees(maker.Longitude, 'E', 'W')
              << "), latitude " << maker.Latitude << " (" << Degrees(maker.Latitude, 'N', 'S') << ")\n"
              << "  Id:        byte " << FormatHex0x(maker.IdByte, 2) << ", word " << FormatHex0x(maker.IdWord, 4) << "\n"
              << "  Modules:   " << maker.ModuleCount << "\n";
    for (size_t k = 0; k < maker.Modules.size(); ++k) {
      const auto& m = maker.Modules[k];
      std::cout << "\n  Module " << k << ": \"" << Shown(m.Name) << "\"  short \"" << Shown(m.ShortName) << "\"\n"
                << "    Start " << FormatHex0x(m.Start) << "  length " << FormatHex0x(m.Length) << " (" << m.Length / kSectorSize
                << (m.Length == kSectorSize ? " sector" : " sectors") << ")  record at " << FormatHex0x(static_cast<uint32_t>(m.RecordOffset)) << "  layout "
                << (m.SplitTable ? "split" : "table") << "  units " << m.UnitCount << "\n";
      if (m.Units.empty()) continue;
      std::cout << "    " << Pad("#", 6) << Pad("Name", 10) << Pad("Offset", 12) << Pad("Size", 12) << Pad("Tag", 17)
                << Pad("Maker text", 17) << Pad("Stored", 12) << Pad("Computed", 12) << "Check\n";
      for (size_t u = 0; u < m.Units.size(); ++u) {
        const auto& unit = m.Units[u];
        std::cout << "    " << Pad(std::to_string(u), 6) << Pad(Shown(unit.Name), 10);
        if (unit.Offset == kNoAddress) {
          std::cout << Pad("-", 12) << Pad(FormatHex0x(unit.Size), 12) << Pad("-", 17) << Pad("-", 17) << Pad("-", 12)
                    << Pad("-", 12) << "no offset\n";
          continue;
        }
        const auto h = ReadUnitHeaderFrom(s, unit.Offset);
        auto sumOver = [&](uint32_t length) {
          const auto known = sums.find({unit.Offset, length});
          const uint32_t sum = known != sums.end() ? known->second : SumWords(s, fileSize, unit.Offset, length);
          sums[{unit.Offset, length}] = sum;
          return sum;
        };
        uint32_t computed = sumOver(std::min(unit.Size, h.UnitSize));
        std::string verdict = computed == h.UnitChecksum ? "ok" : "mismatch";
        // A translated unit may have grown: a rebuilt loader records its new
        // size only in the unit's own header, not in the directory entry.
        if (computed != h.UnitChecksum && h.UnitSize > unit.Size &&
            int64_t{unit.Offset} + int64_t{h.UnitSize} <= fileSize) {
          const uint32_t whole = sumOver(h.UnitSize);
          if (whole == h.UnitChecksum) {
            computed = whole;
            verdict = "ok (over the header's size " + FormatHex0x(h.UnitSize) + ")";
          }
        }
        std::cout << Pad(FormatHex0x(unit.Offset), 12) << Pad(FormatHex0x(unit.Size), 12) << Pad(Shown(h.UnitTag), 17)
                  << Pad(Shown(h.MakerText), 17) << Pad(FormatHex0x(h.UnitChecksum), 12) << Pad(FormatHex0x(computed), 12)
                  << verdict << "\n";
      }
    }
  }
}

// A file that holds one unit from its first byte: long enough for the
// header, declaring at least a header's size, with a readable tag and
// maker text.
bool LooksLikeUnit(const TLN_Unit_Record_AISIN& h, int64_t fileSize, bool namedBin) {
  const bool makerTextOk = h.MakerText.empty() ? namedBin && !h.UnitTag.empty() : IsPrintableAscii(h.MakerText);
  return fileSize >= static_cast<int64_t>(kUnitHeaderSize) && h.UnitSize >= kUnitHeaderSize &&
         IsPrintableAscii(h.UnitTag) && makerTextOk;
}

void PrintUnit(const std::string& path, TStream& s, int64_t fileSize, const TLN_Unit_Record_AISIN& h) {
  const uint64_t checked = std::min<uint64_t>(h.UnitSize, static_cast<uint64_t>(fileSize));
  const uint32_t computed = SumWords(s, fileSize, 0, checked);
  const bool aisin = h.MakerText == kAisinMakerText;
  std::cout << "Unit:           " << path << "\n"
            << "File size:      " << fileSize << " bytes\n"
            << "Tag:            " << Shown(h.UnitTag) << "\n"
            << "Maker text:     " << Shown(h.MakerText) << (aisin ? "" : "  (not \"AISIN AW co.LTD\")") << "\n"
            << "Header text 0:  " << Shown(h.Text0) << "\n"
            << "Header text 16: " << Shown(h.Text16) << "\n"
            << "Base address:   " << FormatHex0x(h.BaseAddress) << "\n"
            << "Declared size:  " << h.UnitSize << " bytes (" << FormatHex0x(h.UnitSize) << ")\n"
            << "Checked bytes:  " << checked << "\n"
            << "Checksum:       stored " << FormatHex0x(h.UnitChecksum) << ", computed " << FormatHex0x(computed) << ": "
            << (computed == h.UnitChecksum ? "ok" : "mismatch") << "\n";
}

int RunInfo(const std::vector<std::string>& args) {
  ArgParser parser(args, {}, {});
  const auto& files = parser.Positionals();
  if (files.empty()) throw UsageError("no file given");
  if (files.size() > 1) throw UsageError("one file at a time");
  const std::string& path = files[0];

  // The rule of DetectSourceKind, reading the directory only once: a file
  // not named as a unit is a loader when its directory reads as valid.
  const bool namedUnit = SourceKindByName(path) == SourceKind::Unit;
  if (!namedUnit) {
    const TLN_Loading loader(path);
    if (loader.Valid) {
      TLN_FileStream f(path);
      PrintLoader(loader, f.Seek(0, SeekOrigin::End));
      return kExitOk;
    }
  }
  TLN_FileStream file(path);
  const int64_t size = file.Seek(0, SeekOrigin::End);
  TBoundedStream s(file, size);
  const auto header = ReadUnitHeaderFrom(s, 0);
  if (!LooksLikeUnit(header, size, namedUnit)) {
    if (namedUnit) throw std::runtime_error(path + ": not a loading unit");
    throw std::runtime_error(path + ": neither a valid loader nor a loading unit");
  }
  PrintUnit(path, s, size, header);
  return kExitOk;
}

CommandRegistrar reg({"info", "show the directory of a LOADING.KWI or the header of a unit", kUsage, RunInfo});

}  // namespace
}  // namespace velmora::cli
