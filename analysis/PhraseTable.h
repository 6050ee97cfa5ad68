// The open translation project held in memory: the unit's bytes, the phrase
// and link records found in it, the translated texts, and the 64-byte record
// that says where the unit came from.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/UnitBytes.h"

namespace velmora {

static_assert(std::endian::native == std::endian::little,
              "TPhrase and ProjectInfo are stored byte for byte, little-endian");

enum PhraseFlags : uint16_t {
  pfHide = 1,  // left out by the "No Hidden" filter
  pfOn = 2,    // the edited text replaces the origin text in output
  pfLink = 4,  // a further pointer to a master phrase's string
};

// One phrase or link record, exactly as the project file stores it.
struct TPhrase {
  uint32_t LinkAddress = 0;    // unit offset of the big-endian pointer
  uint32_t StringAddress = 0;  // unit offset of the string's first byte
  uint16_t Length = 0;         // bytes before the terminating zero, 1..511
  uint16_t Flags = 0;
  int16_t EditIndex = -1;      // position in EditedTexts, -1 = none
  int16_t MasterIndex = -1;    // for pfLink records: index of the master phrase
};
static_assert(sizeof(TPhrase) == 16);
static_assert(offsetof(TPhrase, LinkAddress) == 0);
static_assert(offsetof(TPhrase, StringAddress) == 4);
static_assert(offsetof(TPhrase, Length) == 8);
static_assert(offsetof(TPhrase, Flags) == 10);
static_assert(offsetof(TPhrase, EditIndex) == 12);
static_assert(offsetof(TPhrase, MasterIndex) == 14);

// The first 64 bytes of a project file.
struct ProjectInfo {
  int32_t InfoSize = 64;
  int32_t MakerIndex = -1;
  int32_t ModuleIndex = -1;
  int32_t UnitIndex = -1;
  uint32_t UnitOffset = 0;
  uint32_t SourceSize = 0;
  char UnitTag[8] = {};   // zero-padded, not necessarily terminated
  char UnitName[8] = {};  // zero-padded, not necessarily terminated
  uint32_t BaseAddress = 0;
  uint32_t UnitSize = 0;
  uint32_t UnitChecksum = 0;
  int32_t PhraseCount = 0;
  int32_t TextCount = 0;
  int32_t SourcePathLength = 0;
};
static_assert(sizeof(ProjectInfo) == 64);
static_assert(offsetof(ProjectInfo, MakerIndex) == 4);
static_assert(offsetof(ProjectInfo, UnitOffset) == 16);
static_assert(offsetof(ProjectInfo, SourceSize) == 20);
static_assert(offsetof(ProjectInfo, UnitTag) == 24);
static_assert(offsetof(ProjectInfo, UnitName) == 32);
static_assert(offsetof(ProjectInfo, BaseAddress) == 40);
static_assert(offsetof(ProjectInfo, UnitSize) == 44);
static_assert(offsetof(ProjectInfo, UnitChecksum) == 48);
static_assert(offsetof(ProjectInfo, PhraseCount) == 52);
static_assert(offsetof(ProjectInfo, TextCount) == 56);
static_assert(offsetof(ProjectInfo, SourcePathLength) == 60);

// Most records extraction keeps: it stops once the table holds more than this.
constexpr size_t kMaxPhraseRecords = 30000;
// The positions EditIndex (a signed 16-bit value) can name.
constexpr size_t kMaxEditedTexts = 32768;
// The longest edited text: the project file stores a 16-bit length.
constexpr size_t kMaxEditedTextLength = 0xFFFF;

// "NAME_TAG", the name a unit goes by in captions, phrase files and the
// proposed .BIN name: its name, "_" and its tag.
inline std::string UnitTitle(std::string_view unitName, std::string_view unitTag) {
  std::string title(unitName);
  title += '_';
  title += unitTag;
  return title;
}

class PhraseTable {
 public:
  std::vector<TPhrase> Phrases;
  std::vector<std::string> EditedTexts;  // 8-bit texts, may hold line breaks
  UnitBytes UnitImage;                   // exactly ImageLength() bytes
  ProjectInfo Info;
  std::string SourcePath;  // the LOADING.KWI the unit came from; empty for a .BIN
  std::string UnitTag;     // header text at unit offset 6
  std::string UnitName;    // name in the directory, or .BIN name up to its first dot

  std::string UnitTitle() const { return velmora::UnitTitle(UnitName, UnitTag); }

  // The smaller, compared unsigned, of the declared and the available size.
  uint32_t ImageLength() const { return std::min(Info.UnitSize, Info.SourceSize); }

  // Empties records, texts and image. ProjectInfo, SourcePath and the two
  // names stay; whoever fills the table next overwrites them.
  void Reset();

  // The phrase's origin text: its Length bytes at StringAddress, up to the
  // first zero byte, clipped to the image.
  std::string_view OriginText(const TPhrase& p) const;
  // The phrase's edited text, or an empty view when it has none.
  std::string_view EditedText(const TPhrase& p) const;
  bool HasEditedText(const TPhrase& p) const {
    return p.EditIndex >= 0 && static_cast<size_t>(p.EditIndex) < EditedTexts.size();
  }

  // Attaches a new edited text to a phrase (appending an entry) and returns
  // its position. Flags are left to the caller. When every position is
  // taken, the texts that no phrase names any more are dropped first
  // (DropUnusedEditedTexts); below that limit nothing is renumbered. Raises
  // ERefusal naming the phrase for a text longer than
  // kMaxEditedTextLength, or when all positions are in use.
  int16_t AppendEditedText(size_t phraseIndex, std::string text);

  // Drops the edited texts that no phrase names and renumbers EditIndex of
  // the others, which keep their order. Returns how many were dropped.
  size_t DropUnusedEditedTexts();

  // Copies UnitTag/UnitName into their 8-byte fields (first 8 bytes).
  void StoreNamesInInfo();
  // Rebuilds UnitTag/UnitName from their fields (up to the first NUL or 8 bytes).
  void LoadNamesFromInfo();
};

// A fixed 8-byte field as text: up to its first NUL, or all 8 bytes.
std::string FieldText(const char (&field)[8]);
// Writes the first 8 bytes of text into the field, zero-padded.
void SetField(char (&field)[8], std::string_view text);

}  // namespace velmora
