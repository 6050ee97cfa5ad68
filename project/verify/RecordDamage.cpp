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

  // The texts of the phrases, by where they start, for the search of a
  // pointer word inside one.
  std::vector<std::pair<uint32_t, uint32_t>> texts;  // start, end
  for (const TPhrase& p : phrases)
    if (!(p.Flags & pfLink) && p.Length > 0 && RecordFitsImage(p, length, true))
      texts.emplace_back(p.StringAddress, p.StringAddress + p.Length);
  std::sort(texts.begin(), texts.end());
  uint32_t longest = 0;
  for (const auto& t : texts) longest = std::max(longest, t.second - t.first);

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
    // A header text may be a phrase; the numbers from BaseAddress on never are.
    if (p.StringAddress < kUnitHeaderSize && p.StringAddress + p.Length > kBaseAddressOffset) {
      report(who + ": its text at " + FormatHex0x(p.StringAddress) + " runs over the unit header's numbers");
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
    // A text that starts before the word's end and ends after its start.
    auto it = std::lower_bound(texts.begin(), texts.end(), std::make_pair(p.LinkAddress + 4, 0u));
    while (it != texts.begin()) {
      --it;
      if (it->first + longest <= p.LinkAddress) break;
      if (it->second > p.LinkAddress) {
        report(who + ": its pointer word at " + FormatHex0x(p.LinkAddress) + " lies inside the text at " +
               FormatHex0x(it->first));
        break;
      }
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
