// Checks shared by the fuzz targets: a broken promise aborts, so the fuzzer
// (or the corpus replay) reports it like a crash.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <unordered_set>

#include "analysis/PhraseTable.h"
#include "analysis/UnitHeader.h"
#include "container/io/ByteOrder.h"

namespace velmora::fuzz {

inline void Check(bool ok) {
  if (!ok) std::abort();
}

// Takes the next bytes of a fuzz input as parameters; zero once it is used up.
class InputReader {
 public:
  InputReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
  uint32_t Word32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | Byte();
    return v;
  }
  const uint8_t* Rest() const { return data_ + pos_; }
  size_t RestSize() const { return size_ - pos_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// The promises phrase extraction makes about the table it fills.
inline void CheckExtractedTable(const PhraseTable& t) {
  const uint64_t length = t.ImageLength();
  Check(t.UnitImage.size() == length);
  Check(t.Phrases.size() <= kMaxPhraseRecords + 1);
  Check(t.EditedTexts.empty());
  std::unordered_set<uint32_t> strings;
  for (size_t i = 0; i < t.Phrases.size(); ++i) {
    const TPhrase& p = t.Phrases[i];
    Check(p.LinkAddress % 4 == 0 && p.LinkAddress >= kUnitHeaderSize && uint64_t{p.LinkAddress} + 4 <= length);
    if (i > 0) Check(p.LinkAddress > t.Phrases[i - 1].LinkAddress);
    Check(p.Length >= 1 && p.Length <= 511);
    Check(uint64_t{p.StringAddress} + 16 <= length && p.StringAddress + uint64_t{p.Length} + 8 <= length);
    Check(p.EditIndex == -1 && !(p.Flags & pfOn));
    Check((p.Flags & ~(pfHide | pfLink)) == 0);
    Check(LoadBE32(&t.UnitImage[p.LinkAddress]) - t.Info.BaseAddress == p.StringAddress);
    if (p.Flags & pfLink) {
      Check(p.MasterIndex >= 0 && static_cast<size_t>(p.MasterIndex) < i);
      const TPhrase& m = t.Phrases[static_cast<size_t>(p.MasterIndex)];
      Check(!(m.Flags & pfLink) && m.StringAddress == p.StringAddress && m.Length == p.Length);
    } else {
      Check(p.MasterIndex == -1);
      Check(strings.insert(p.StringAddress).second);
      Check(t.UnitImage[p.StringAddress + p.Length] == 0);
    }
  }
}

}  // namespace velmora::fuzz
