#include "analysis/Extraction.h"

#include <algorithm>
#include <bit>
#include <memory>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "analysis/UnitHeader.h"
#include "analysis/UnitText.h"
#include "container/io/ByteOrder.h"

namespace velmora {

namespace {

constexpr bool IsCapital(uint8_t b) { return b >= 0x41 && b <= 0x5A; }

// StringAddress -> index of the first record that has it. Open addressing
// with linear probing; the key 0 marks a free slot (a string offset of 0 is
// never a pointer target).
class FirstRecordMap {
 public:
  explicit FirstRecordMap(size_t expected) {
    size_t cap = 64;
    while (cap < expected * 2) cap <<= 1;
    keys_.assign(cap, 0);
    values_.assign(cap, 0);
    mask_ = cap - 1;
    shift_ = 64 - std::countr_zero(cap);
  }

  // The index stored for key, or -1.
  int32_t Find(uint32_t key) const {
    for (size_t s = Slot(key);; s = (s + 1) & mask_) {
      if (keys_[s] == key) return values_[s];
      if (keys_[s] == 0) return -1;
    }
  }

  // Stores key -> value unless key is there already.
  void InsertFirst(uint32_t key, int32_t value) {
    if ((count_ + 1) * 2 > keys_.size()) Grow();
    for (size_t s = Slot(key);; s = (s + 1) & mask_) {
      if (keys_[s] == key) return;
      if (keys_[s] == 0) {
        keys_[s] = key;
        values_[s] = value;
        ++count_;
        return;
      }
    }
  }

 private:
  size_t Slot(uint32_t key) const {
    return static_cast<size_t>((uint64_t{key} * 0x9E3779B97F4A7C15ull) >> shift_);
  }

  void Grow() {
    std::vector<uint32_t> oldKeys = std::move(keys_);
    std::vector<int32_t> oldValues = std::move(values_);
    const size_t cap = oldKeys.size() * 2;
    keys_.assign(cap, 0);
    values_.assign(cap, 0);
    mask_ = cap - 1;
    shift_ = 64 - std::countr_zero(cap);
    count_ = 0;
    for (size_t i = 0; i < oldKeys.size(); ++i)
      if (oldKeys[i] != 0) InsertFirst(oldKeys[i], oldValues[i]);
  }

  std::vector<uint32_t> keys_;
  std::vector<int32_t> values_;
  size_t mask_ = 0;
  int shift_ = 0;
  size_t count_ = 0;
};

// Bytes that may begin a text in a mode (the first-byte rules without the
// look at the byte after a Shift JIS lead byte).
struct FirstByteTable {
  bool may[256] = {};
};

constexpr FirstByteTable MakeFirstByteTable(TextMode mode) {
  FirstByteTable t;
  for (int b = 0; b < 256; ++b) {
    bool ok = b == 0x3C || (b >= 0x41 && b <= 0x5A);
    if (mode == TextMode::Japanese && b == 0x4F) ok = false;
    if (mode == TextMode::European && b >= 0xC0 && b <= 0xDF) ok = true;
    if (mode == TextMode::Japanese && ((b >= 0x81 && b <= 0xFC) || (b >= 0x31 && b <= 0x39))) ok = true;
    t.may[b] = ok;
  }
  return t;
}

// False when none of the eight big-endian words at block gives
// word - bias <= span (32-bit wrap-around): no word of the block can be a
// pointer to an accepted offset.
#if defined(__SSE2__)
inline bool BlockMayHoldPointer(const uint8_t* block, uint32_t bias, uint32_t span) {
  const __m128i sign = _mm_set1_epi32(static_cast<int>(0x80000000u));
  const __m128i biasV = _mm_set1_epi32(static_cast<int>(bias));
  const __m128i spanV = _mm_xor_si128(_mm_set1_epi32(static_cast<int>(span)), sign);
  auto fails = [&](__m128i x) {
    // Big-endian words to host order: bytes within 16-bit lanes, then the halves.
    x = _mm_or_si128(_mm_slli_epi16(x, 8), _mm_srli_epi16(x, 8));
    x = _mm_shufflelo_epi16(x, _MM_SHUFFLE(2, 3, 0, 1));
    x = _mm_shufflehi_epi16(x, _MM_SHUFFLE(2, 3, 0, 1));
    // Unsigned (x - bias) > span as a signed compare of sign-flipped values.
    return _mm_cmpgt_epi32(_mm_xor_si128(_mm_sub_epi32(x, biasV), sign), spanV);
  };
  const __m128i a = fails(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block)));
  const __m128i b = fails(_mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16)));
  return _mm_movemask_epi8(_mm_and_si128(a, b)) != 0xFFFF;
}
#else
inline bool BlockMayHoldPointer(const uint8_t* block, uint32_t bias, uint32_t span) {
  uint32_t missA = 1, missB = 1;
  for (size_t k = 0; k < 16; k += 4) {
    missA &= static_cast<uint32_t>(LoadBE32(block + k) - bias > span);
    missB &= static_cast<uint32_t>(LoadBE32(block + 16 + k) - bias > span);
  }
  return !(missA & missB);
}
#endif

constexpr FirstByteTable kFirstByte[3] = {MakeFirstByteTable(TextMode::English),
                                          MakeFirstByteTable(TextMode::European),
                                          MakeFirstByteTable(TextMode::Japanese)};

}  // namespace

uint32_t MeasurePhrase(const uint8_t* image, uint32_t imageLength, uint32_t v, TextMode mode) {
  if (imageLength < 8) return 0;
  // The last offset that may be examined: the zero byte must lie within the
  // first imageLength - 7 bytes.
  const uint64_t limit = imageLength - 8u;
  const bool english = mode == TextMode::English;
  const bool european = mode == TextMode::European;
  const bool japanese = mode == TextMode::Japanese;

  uint32_t i = 0;
  for (;;) {
    if (uint64_t{v} + i > limit) return 0;
    const uint8_t* s = image + v + i;
    const uint8_t b = s[0];
    // The byte after b; within the image, as v + i <= imageLength - 8.
    const uint8_t n = s[1];
    uint32_t lastIndex = i;  // index of the last byte of the accepted character
    if (i == 0) {
      if (b == 0x00) return 0;
      if (b == 0x3C) {
        // '<' begins a text in every mode.
      } else if (japanese && b == 0x4F) {
        return 0;
      } else if (IsCapital(b)) {
      } else if (european && b >= 0xC0 && b <= 0xDF) {
      } else if (japanese && b >= 0x81 && b <= 0xFC) {
        if (n == 0x00) return 0;
        if (b == 0xE0 && n < 0x40) return 0;
        if (!(b >= 0xA0 && b <= 0xDF)) lastIndex = i + 1;  // two-byte character
      } else if (japanese && b >= 0x31 && b <= 0x39) {
      } else {
        return 0;
      }
    } else {
      if (b == 0x0A) {
      } else if (b == 0x00) {
        return i;
      } else if (b < 0x20) {
        return 0;
      } else if (english && b >= 0x7F) {
        return 0;
      } else if (european && b >= 0x80 && b <= 0xBF) {
        return 0;
      } else if (japanese && IsShiftJisLeadByte(b) && n != 0x00) {
        lastIndex = i + 1;
      }
    }
    if (lastIndex >= kMaxPhraseLength) return 0;
    i = lastIndex + 1;
  }
}

// The state of one run: the accepted range of string offsets, the map from
// string offsets to their first record, and the contiguity rule's memory.
struct TPhraseScanner::Run {
  Run(PhraseTable& t, const AnalysisOptions& o) : table(t), options(o), firstRecord(0) {}

  PhraseTable& table;
  const AnalysisOptions options;
  const uint8_t* img = nullptr;
  uint32_t L = 0;
  uint32_t lo = 0;
  uint32_t span = 0;
  uint32_t bias = 0;
  const bool* mayBegin = nullptr;
  FirstRecordMap firstRecord;
  bool havePrev = false;  // the first phrase of a run starts out shown
  uint64_t prevEnd = 0;
  bool done = false;
};

TPhraseScanner::TPhraseScanner(PhraseTable& table, const AnalysisOptions& options)
    : run_(std::make_unique<Run>(table, options)) {
  Run& r = *run_;
  auto& phrases = table.Phrases;
  r.L = static_cast<uint32_t>(std::min<size_t>(table.ImageLength(), table.UnitImage.size()));
  r.img = table.UnitImage.data();
  if (r.L < kUnitHeaderSize + 4) {
    r.done = true;
    return;
  }
  end_ = size_t{r.L / 4} * 4;

  // Accepted string offsets: v != 0, v <= L - 16, RangeStart <= v <= RangeEnd.
  r.lo = std::max<uint32_t>(1, options.RangeStart);
  const uint32_t hi = std::min<uint32_t>(r.L - 16, options.RangeEnd);
  if (r.lo > hi) {
    r.done = true;
    return;
  }
  r.span = hi - r.lo;
  // word - BaseAddress - lo, with 32-bit wrap-around, is at most span
  // exactly for the accepted offsets.
  r.bias = table.Info.BaseAddress + r.lo;

  r.firstRecord = FirstRecordMap(std::min<size_t>(kMaxPhraseRecords + 1, r.L / 4) + phrases.size());
  for (size_t k = 0; k < phrases.size(); ++k)
    r.firstRecord.InsertFirst(phrases[k].StringAddress, static_cast<int32_t>(k));
  // Every string in the map was accepted in this run, so its first byte
  // passed the first-byte rules: a target whose first byte cannot begin a
  // text is neither a link nor a phrase. (Records that were in the table
  // before the run may not have passed them; then every target is looked up.)
  const int modeIndex = static_cast<int>(options.Mode);
  r.mayBegin = phrases.empty() && modeIndex >= 0 && modeIndex < 3 ? kFirstByte[modeIndex].may : nullptr;
}

TPhraseScanner::~TPhraseScanner() = default;

bool TPhraseScanner::Scan(size_t start, const uint8_t* words, size_t count) {
  Run& r = *run_;
  if (r.done || count < 4) return !r.done;
  auto& phrases = r.table.Phrases;
  const uint8_t* img = r.img;
  const size_t chunkLast = start + count / 4 * 4 - 4;
  size_t blockEnd = start;  // words before this one were passed by the block skip
  for (size_t p = start; p <= chunkLast; p += 4) {
    if (p >= blockEnd) {
      // The common case: blocks of eight words none of which points into
      // the unit, tested without a branch per word.
      while (p + 28 <= chunkLast && !BlockMayHoldPointer(words + (p - start), r.bias, r.span)) p += 32;
      blockEnd = p + 32;
      if (p > chunkLast) break;
    }
    const uint32_t rel = LoadBE32(words + (p - start)) - r.bias;
    if (rel > r.span) continue;
    if (phrases.size() > kMaxPhraseRecords) {
      r.done = true;
      return false;
    }
    const uint32_t v = rel + r.lo;
    if (r.mayBegin && !r.mayBegin[img[v]]) continue;

    const int32_t master = r.firstRecord.Find(v);
    if (master >= 0) {
      TPhrase link;
      link.LinkAddress = static_cast<uint32_t>(p);
      link.StringAddress = v;
      link.Length = phrases[static_cast<size_t>(master)].Length;
      link.Flags = pfLink;
      link.EditIndex = -1;
      link.MasterIndex = static_cast<int16_t>(master);
      phrases.push_back(link);
      continue;
    }

    const uint32_t length = MeasurePhrase(img, r.L, v, r.options.Mode);
    if (length == 0) continue;

    TPhrase phrase;
    phrase.LinkAddress = static_cast<uint32_t>(p);
    phrase.StringAddress = v;
    phrase.Length = static_cast<uint16_t>(length);
    phrase.EditIndex = -1;
    phrase.MasterIndex = -1;
    const bool contiguous = !r.havePrev || (r.prevEnd <= v && v <= r.prevEnd + 4);
    phrase.Flags = contiguous ? 0 : pfHide;
    r.havePrev = true;
    r.prevEnd = uint64_t{v} + length;
    if (r.options.HideAbc && IsCapital(img[v]) && IsCapital(img[v + 1])) phrase.Flags |= pfHide;

    r.firstRecord.InsertFirst(v, static_cast<int32_t>(phrases.size()));
    phrases.push_back(phrase);
  }
  return true;
}

TextMode TPhraseScanner::Mode() const {
  return run_->options.Mode;
}

TextMode ExtractPhrases(PhraseTable& table, const AnalysisOptions& options) {
  TPhraseScanner scan(table, options);
  table.UnitImage.ForEachChunk(scan.Begin(), scan.End() - scan.Begin(),
                               [&](size_t start, const uint8_t* words, size_t count) {
                                 return scan.Scan(start, words, count);
                               });
  return scan.Mode();
}

}  // namespace velmora
