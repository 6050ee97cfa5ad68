// Synthetic loading units, loaders and volume sets for tests, benchmarks and
// the demo. Everything is built from a compact description and is fully
// deterministic from its seed.
//
// A sample unit holds a 128-byte header, code-like filler, pointer tables and
// string areas. The filler never holds a word that reads as a pointer into
// the unit, and MakeUnit checks every aligned body word after building, so
// the only words that point into the unit are the planned pointer words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "analysis/PhraseTable.h"

namespace velmora::sample {

// One string of a unit: its bytes without the terminating zero, and how many
// pointer words refer to it (more than 1 makes a shared string: one phrase
// plus link records).
struct SampleString {
  std::string bytes;
  int pointers = 1;
};

// How the order of a table's pointer words relates to the order of its
// strings in the string area.
enum class Order {
  Packed,     // same order: every string follows the previous one's zero byte
              // within 4 bytes, so all are shown
  Reversed,   // reverse order: every string after the first in scan order is
              // hidden by the contiguity rule
  Scattered,  // a seeded shuffle: mostly hidden
};

// A pointer table with its string area.
struct StringTable {
  std::vector<SampleString> strings;
  Order order = Order::Packed;
  // When not empty: the order of the table's pointer words, as indices into
  // strings (a permutation); it takes the place of order. Lets a string
  // move in the string area while its pointer keeps its place.
  std::vector<size_t> pointerOrder = {};
};

struct UnitRecipe {
  // Header texts. The system reads 15 bytes of each; longer ones are written
  // whole (tag up to 42 bytes, maker text up to 64) to probe that cut.
  std::string tag = "APM";                      // at 6
  std::string makerText = "AISIN AW co.LTD";    // at 48
  // Header word at 112. The default keeps every text word clear of the
  // pointer range for units up to 144 MB: a word that starts with a zero
  // byte stays below it, one that starts with a text byte lies above it.
  uint32_t baseAddress = 0x01000000;
  std::vector<SampleString> strings;            // the main table
  Order order = Order::Packed;
  std::vector<size_t> pointerOrder;             // the main table's, as in StringTable
  std::vector<StringTable> moreTables;          // further tables, laid out after the main one
  size_t codeWordsBefore = 256;                 // filler words between header and first pointer table
  size_t minSize = 0;                           // pad with filler to at least this many bytes
  bool corruptChecksum = false;                 // store a checksum that differs from SumWords
  uint32_t seed = 1;
};

// Where one string of a sample unit ended up.
struct PlacedString {
  uint32_t offset = 0;                   // unit offset of its first byte
  uint32_t length = 0;                   // bytes before the zero byte
  uint32_t firstPointer = 0;             // the pointer word that the scan meets first
  std::vector<uint32_t> pointerOffsets;  // every pointer word to it, ascending
  size_t table = 0;                      // 0 = main table, 1 + k = moreTables[k]
};

struct SampleUnit {
  std::vector<uint8_t> bytes;            // the whole unit, header included
  uint32_t baseAddress = 0;
  uint32_t checksum = 0;                 // the value stored at 120
  std::vector<PlacedString> strings;     // main table's strings, then moreTables', in given order
  std::vector<uint32_t> pointerOffsets;  // every pointer word of the unit, ascending
  std::vector<uint32_t> stringOffsets;   // strings[i].offset, same order
  std::vector<size_t> scanOrder;         // string indices in the order the scan meets their first pointer
};

// Builds a unit. Raises std::invalid_argument for a header text too long, an
// empty string or one longer than 511 bytes, a string with a zero
// byte, a pointer count below 1, or string bytes that would themselves read as
// a pointer into the unit (choose another baseAddress then).
SampleUnit MakeUnit(const UnitRecipe& desc);

// The records that phrase extraction should produce for a sample unit in the
// matching text mode, without "Hide ABC" and address range: phrases and link
// records in pointer order, pfHide by the contiguity rule. The first phrase's
// visibility is the extraction's own choice: firstShown picks it. Stops like
// the scan once more than kMaxPhraseRecords records are listed.
std::vector<TPhrase> ExpectedRecords(const SampleUnit& unit, bool firstShown);

// Ready-made text sets, n strings each, deterministic from the seed.
// English: start with a capital letter or '<', bytes 0x20..0x7E and '\n'
// (some multi-line), a few shared by several pointers.
std::vector<SampleString> EnglishMenuTexts(size_t n, uint32_t seed);
// European (Windows-1252 accented letters): start with A..Z or 0xC0..0xDF,
// further bytes 0x20..0x7E, 0xC0..0xFF and '\n'; never 0x80..0xBF.
std::vector<SampleString> EuropeanTexts(size_t n, uint32_t seed);
// Japanese Shift JIS byte strings (two-byte characters, half-width katakana,
// some starting with a digit 1..9); never starting with 'O'.
std::vector<SampleString> JapaneseTexts(size_t n, uint32_t seed);
// European firmware texts: printf directives, a line break, and one text
// that holds a control byte (DEL, which European units may carry), so that
// the checks have something to show in the demo's EUR unit.
std::vector<SampleString> EuropeanFirmwareTexts();

// The demo APM unit: English menu texts in a packed table (with shared and
// multi-line strings), a reversed table, and a packed table of firmware
// texts with printf directives and line breaks.
SampleUnit MakeDemoUnit();
std::vector<uint8_t> MakeDemoApmUnit();  // MakeDemoUnit().bytes

// A large English unit of `bytes` bytes (rounded up to a multiple of 4; more
// when the strings need more room) with `phrases` distinct strings in one
// packed table; about one string in ten has a second pointer. 64 MB with
// 30,000 strings take about 0.1 s in an optimised build.
SampleUnit MakeBenchUnit(size_t bytes, size_t phrases, uint32_t seed);
// The description MakeBenchUnit builds from.
UnitRecipe BenchUnitRecipe(size_t bytes, size_t phrases, uint32_t seed);

// ---- Loaders ----

// Maker names of the maker table: "AISIN-AW", "PANASONIC", "TOYOTA", "DENSO",
// "VOLKSWAGEN", "MITSUBISHI", "GENERAL MOTORS"; "" gives a position that
// names no maker.
struct ModuleRecipe {
  std::string name;        // 52-byte text
  std::string shortName;   // 8-byte text
  // AISIN-AW modules only: the record lists unit 0 and the module's own unit
  // table lists the rest. A module with exactly one unit or more than 11
  // units always gets it (a table count of 1 means the split layout, and the
  // record has room for 11 entries).
  bool splitLayout = false;
  std::vector<std::pair<std::string, std::vector<uint8_t>>> units;  // 8-byte name, bytes
};

struct MakerRecipe {
  std::string makerName;
  std::vector<ModuleRecipe> modules;  // 1..49
};

struct LoaderRecipe {
  std::vector<MakerRecipe> makers;    // 1..19
};

// Where MakeLoader put things (byte positions in the loader).
struct LoaderUnitLayout {
  std::string name;
  uint32_t offset = 0;
  uint32_t size = 0;
};
struct LoaderModuleLayout {
  uint32_t start = 0;        // module data
  uint32_t length = 0;       // sectors x 2048
  uint32_t recordOffset = 0; // the 256-byte module record
  uint32_t nameRecordOffset = 0;
  bool splitTable = false;
  std::vector<LoaderUnitLayout> units;  // in directory order
};
struct LoaderMakerLayout {
  std::string makerName;
  int32_t longitude = 0;
  int32_t latitude = 0;
  std::vector<LoaderModuleLayout> modules;
};
struct LoaderLayout {
  std::vector<LoaderMakerLayout> makers;
};

// Builds a LOADING.KWI image. Module data is sector aligned, units lie at
// even offsets; modules of other makers get their units' bytes as data too.
// Raises std::invalid_argument for an unknown maker name or counts out of
// range.
std::vector<uint8_t> MakeLoader(const LoaderRecipe& desc, LoaderLayout* layout = nullptr);

// The demo loader: a maker entry whose position names no maker first, then "AISIN-AW" (a table-layout module and
// a split-layout module, both with an "APM" unit; the split one also holds a
// unit with a foreign maker text and one with a wrong checksum, and a
// Japanese and a European unit), then "DENSO". The modules of the other entries have invented names.
LoaderRecipe DemoLoaderRecipe();

// The most data a module can hold: its length is a 16-bit count of sectors.
constexpr size_t kMaxModuleBytes = size_t{0xFFFF} * 2048;

// A large loader for benchmarks: an unnamed maker entry with a module of 64 MB of data,
// then "AISIN-AW" with the module "AISIN NAVIGATION PROGRAM", whose units are
// "APM" (MakeBenchUnit of unitBytes bytes, made smaller when the module
// would leave less than 2 MB below kMaxModuleBytes for the relocated texts
// of a translation) and five units of 512 KB with a few texts. About
// unitBytes + 66 MB in all.
LoaderRecipe BenchLoaderRecipe(size_t unitBytes, size_t phrases, uint32_t seed);

// Writes volumes as a numbered set: volume k (from 1) gets firstName with
// the character before the first '.' replaced by the digit k
// ("ALLDATA1.KWI", "ALLDATA2.KWI", ...; from the tenth on the characters
// after '9'), at most 16 volumes, each written atomically. Returns the paths.
std::vector<std::string> WriteVolumeSet(const std::string& dir, const std::string& firstName,
                                        const std::vector<std::vector<uint8_t>>& volumes);

// Cuts data into volumes of volumeSize bytes (the last one shorter).
std::vector<std::vector<uint8_t>> SplitIntoVolumes(const std::vector<uint8_t>& data, size_t volumeSize);

}  // namespace velmora::sample
