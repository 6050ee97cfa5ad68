#include "project/verify/RecordDamage.h"

#include <algorithm>
#include <cstring>
#include <cstdint>
#include <utility>

#include "analysis/UnitHeader.h"
#include "container/io/ByteOrder.h"
#include "project/build/TranslationPlan.h"
#include "project/text/HexText.h"

namespace velmora {

namespace {

std::string RecordName(const TPhrase& p, size_t i) {
  return ((p.Flags & pfLink) ? "link record " : "phrase ") + std::to_string(i);
}

}  // namespace

std::vector<std::string> FindRecordDamage(const PhraseTable& table, size_t max) {
  const auto& phrases = table.Phrases;
  const uint32_t length = static_cast<uint32_t>(table.ImageLength());
  const uint8_t* image = table.UnitImage.data();

  std::vector<std::string> lines;
  size_t found = 0;
  auto report = [&](std::string line) {
    if (found++ < max) lines.push_back(std::move(line));
  };
  for (size_t i = 0; i < phrases.size(); ++i) {
    const TPhrase& p = phrases[i];
    if (!RecordFitsImage(p, length, !(p.Flags & pfLink))) continue;  // the reader refuses those
    const std::string who = RecordName(p, i);
    if (p.LinkAddress < kUnitHeaderSize) {
      report(who + ": its pointer word at " + FormatHex0x(p.LinkAddress) + " lies in the unit header");
      continue;
    }
    const uint32_t target = LoadBE32(image + p.LinkAddress) - table.Info.BaseAddress;
    if (target != p.StringAddress) {
      report(who + ": the pointer word at " + FormatHex0x(p.LinkAddress) + " leads to " + FormatHex0x(target) +
             ", not to its text at " + FormatHex0x(p.StringAddress));
      continue;
    }
    // A text ends at its first zero byte, which a length of another value misses.
    const uint8_t* text = image + p.StringAddress;
    if (p.Length == 0 || p.StringAddress + p.Length >= length || text[p.Length] != 0 ||
        std::memchr(text, 0, p.Length) != nullptr) {
      report(who + ": its length " + std::to_string(p.Length) + " does not end at the zero byte of its text at " +
             FormatHex0x(p.StringAddress));
      continue;
    }
  }
  if (found > max) lines.push_back("... and " + std::to_string(found - max) + " more damaged records");
  return lines;
}

std::string RecordDamageWarning(const std::vector<std::string>& lines) {
  std::string text = "The project's records do not fit its unit (the project file is damaged); a build from it "
                     "would break the unit:";
  for (const std::string& line : lines) text += "\n" + line;
  return text;
}

}  // namespace velmora
