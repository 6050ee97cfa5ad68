// A loading unit laid out by hand for tests of the builders and of the
// verification: a header with base address, size and a correct checksum,
// code-like filler, and pointers and strings where a test puts them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "analysis/PhraseTable.h"
#include "analysis/UnitHeader.h"
#include "container/io/ByteOrder.h"

namespace velmora::test {

constexpr uint32_t kFixtureBase = 0x80000000u;

class UnitFixture {
 public:
  explicit UnitFixture(uint32_t size, uint32_t base = kFixtureBase) : bytes_(size, 0), base_(base) {
    std::memcpy(bytes_.data() + 6, "TAG1", 4);
    std::memcpy(bytes_.data() + 48, "AISIN AW co.LTD", 15);
    // Some code-like filler so the checksum is not trivially zero.
    for (uint32_t i = 128; i + 4 <= std::min<uint32_t>(size, 0x180); i += 4) StoreBE32(&bytes_[i], i * 2654435761u);
  }
  void Pointer(uint32_t linkAddress, uint32_t stringAddress) { StoreBE32(&bytes_[linkAddress], stringAddress + base_); }
  void String(uint32_t address, const std::string& s) { std::memcpy(&bytes_[address], s.data(), s.size()); }

  PhraseTable Table() {
    StoreBE32(&bytes_[kBaseAddressOffset], base_);
    StoreBE32(&bytes_[kUnitSizeOffset], static_cast<uint32_t>(bytes_.size()));
    StoreBE32(&bytes_[kUnitChecksumOffset], SumWords(bytes_.data(), bytes_.size()));
    PhraseTable t;
    t.UnitImage = bytes_;
    t.Info.BaseAddress = base_;
    t.Info.UnitSize = static_cast<uint32_t>(bytes_.size());
    t.Info.SourceSize = static_cast<uint32_t>(bytes_.size());
    t.Info.UnitChecksum = LoadBE32(&bytes_[kUnitChecksumOffset]);
    return t;
  }

 private:
  std::vector<uint8_t> bytes_;
  uint32_t base_;
};

inline TPhrase Phrase(uint32_t link, uint32_t str, uint16_t length, uint16_t flags = 0, int16_t edit = -1,
                      int16_t master = -1) {
  TPhrase p;
  p.LinkAddress = link;
  p.StringAddress = str;
  p.Length = length;
  p.Flags = flags;
  p.EditIndex = edit;
  p.MasterIndex = master;
  return p;
}

// Gives phrase i the text and switches it on.
inline void Translate(PhraseTable& t, size_t i, const std::string& text) {
  t.AppendEditedText(i, text);
  t.Phrases[i].Flags = static_cast<uint16_t>(t.Phrases[i].Flags | pfOn);
}

}  // namespace velmora::test
