#include "project/build/UnitOverlay.h"

#include <algorithm>
#include <cstring>

#include "analysis/UnitHeader.h"
#include "container/io/ByteOrder.h"

namespace velmora {

namespace {

// Adds the big-endian words of a series of byte stretches, from unit offset
// 128 on, as SumWords does over one buffer. A word may be split between two
// stretches.
class WordSum {
 public:
  void Add(const uint8_t* bytes, uint64_t count) {  // bytes null: zeros
    uint64_t skip = pos_ < kUnitHeaderSize ? std::min<uint64_t>(count, kUnitHeaderSize - pos_) : 0;
    pos_ += skip;
    if (bytes) bytes += skip;
    count -= skip;
    while (count > 0 && have_ > 0) Take(bytes ? *bytes++ : 0, count);
    const uint64_t words = count / 4;
    if (bytes) sum_ += SumBigEndianWords(bytes, static_cast<size_t>(words));
    if (bytes) bytes += 4 * words;
    pos_ += 4 * words;
    count -= 4 * words;
    while (count > 0) Take(bytes ? *bytes++ : 0, count);
  }
  uint32_t Sum() const { return sum_; }  // a last part word is left out

 private:
  // One byte of a word split between two stretches, most significant first.
  void Take(uint8_t byte, uint64_t& count) {
    part_ = (part_ << 8) | byte;
    ++pos_;
    --count;
    if (++have_ == 4) {
      sum_ += part_;
      part_ = 0;
      have_ = 0;
    }
  }

  uint64_t pos_ = 0;
  uint32_t sum_ = 0;
  uint32_t part_ = 0;
  int have_ = 0;
};

}  // namespace

template <typename Visit>
void TUnitOverlay::ForEachRun(uint64_t length, Visit visit) const {
  uint64_t offset = 0;
  while (offset < length) {
    const size_t page = static_cast<size_t>(offset / kPage);
    const uint64_t pageEnd = std::min<uint64_t>((page + 1) * uint64_t{kPage}, length);
    if (const uint8_t* changed = ChangedPage(page)) {
      visit(Run{Source::Changed, offset, changed + (offset - page * uint64_t{kPage}), pageEnd - offset});
      offset = pageEnd;
      continue;
    }
    // Unchanged pages up to the next changed one: image bytes, then zeros.
    size_t next = page + 1;
    while (next * uint64_t{kPage} < length && !ChangedPage(next)) ++next;
    const uint64_t end = std::min<uint64_t>(next * uint64_t{kPage}, length);
    if (offset < imageLength_) {
      const uint64_t imageEnd = std::min<uint64_t>(end, imageLength_);
      visit(Run{Source::Image, offset, nullptr, imageEnd - offset});
      offset = imageEnd;
    }
    if (offset < end) {
      visit(Run{Source::Zeros, offset, nullptr, end - offset});
      offset = end;
    }
  }
}

uint8_t* TUnitOverlay::PageForWriting(size_t page) {
  if (page >= pages_.size()) pages_.resize(page + 1);
  if (!pages_[page]) {
    pages_[page] = std::make_unique_for_overwrite<uint8_t[]>(kPage);
    uint8_t* copy = pages_[page].get();
    const uint64_t start = page * uint64_t{kPage};
    const size_t fromImage = start < imageLength_ ? static_cast<size_t>(std::min<uint64_t>(kPage, imageLength_ - start)) : 0;
    // An empty image may have no bytes at all: no pointer into it then.
    if (fromImage) std::memcpy(copy, image_.data() + start, fromImage);
    std::memset(copy + fromImage, 0, kPage - fromImage);
  }
  return pages_[page].get();
}

template <typename Piece>
void TUnitOverlay::ForEachPiece(uint64_t offset, size_t count, Piece piece) {
  for (size_t done = 0; done < count;) {
    const size_t page = static_cast<size_t>((offset + done) / kPage);
    const size_t at = static_cast<size_t>((offset + done) % kPage);
    const size_t n = std::min(count - done, kPage - at);
    piece(page, at, done, n);
    done += n;
  }
}

void TUnitOverlay::Read(uint64_t offset, void* out, size_t count) const {
  auto* to = static_cast<uint8_t*>(out);
  ForEachPiece(offset, count, [&](size_t page, size_t at, size_t done, size_t n) {
    if (const uint8_t* changed = ChangedPage(page)) {
      std::memcpy(to + done, changed + at, n);
      return;
    }
    const uint64_t from = offset + done;
    const size_t fromImage = from < imageLength_ ? static_cast<size_t>(std::min<uint64_t>(n, imageLength_ - from)) : 0;
    if (fromImage) std::memcpy(to + done, image_.data() + from, fromImage);
    std::memset(to + done + fromImage, 0, n - fromImage);
  });
}

void TUnitOverlay::Write(uint64_t offset, const void* bytes, size_t count) {
  const auto* from = static_cast<const uint8_t*>(bytes);
  ForEachPiece(offset, count, [&](size_t page, size_t at, size_t done, size_t n) {
    std::memcpy(PageForWriting(page) + at, from + done, n);
  });
}

void TUnitOverlay::Fill(uint64_t offset, uint8_t value, size_t count) {
  ForEachPiece(offset, count,
               [&](size_t page, size_t at, size_t, size_t n) { std::memset(PageForWriting(page) + at, value, n); });
}

uint32_t TUnitOverlay::LoadBE32(uint64_t offset) const {
  uint8_t b[4];
  Read(offset, b, 4);
  return velmora::LoadBE32(b);
}

void TUnitOverlay::StoreBE32(uint64_t offset, uint32_t value) {
  uint8_t b[4];
  velmora::StoreBE32(b, value);
  Write(offset, b, 4);
}

uint32_t TUnitOverlay::SumWords(uint64_t length) const {
  WordSum sum;
  ForEachRun(length, [&](const Run& r) {
    switch (r.From) {
      case Source::Changed: sum.Add(r.Bytes, r.Count); break;
      case Source::Zeros: sum.Add(nullptr, r.Count); break;
      case Source::Image:
        image_.ForEachChunk(static_cast<size_t>(r.Offset), static_cast<size_t>(r.Count),
                            [&](size_t, const uint8_t* bytes, size_t n) {
                              sum.Add(bytes, n);
                              return true;
                            });
        break;
    }
  });
  return sum.Sum();
}

void TUnitOverlay::WriteTo(TStream& out, uint64_t length) const {
  ForEachRun(length, [&](const Run& r) {
    switch (r.From) {
      case Source::Changed: out.WriteBuffer(r.Bytes, static_cast<size_t>(r.Count)); break;
      case Source::Zeros: out.WriteZeros(static_cast<size_t>(r.Count)); break;
      case Source::Image: image_.WriteTo(out, static_cast<size_t>(r.Offset), static_cast<size_t>(r.Count)); break;
    }
  });
}

}  // namespace velmora
