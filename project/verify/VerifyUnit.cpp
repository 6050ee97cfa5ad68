// The check of one translated unit inside a built file.
//
// From the project alone it works out, in table order as a build writes,
// every stretch of the image a build writes: in-place texts and the zeros
// after them, the emptied rooms of relocated texts, the redirected pointers
// (whose value is checked by where they lead, not by their bytes) and the
// two header fields. Where writes overlap the later one wins, as in a build.
// Then one pass over the built unit compares every other byte with the
// image and these stretches with what they must hold, sums the checksum and
// keeps the appended area; the pointers of relocated texts are followed into
// it afterwards.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "analysis/UnitHeader.h"
#include "container/io/ByteOrder.h"
#include "project/verify/VerifyReport.h"

namespace velmora::verify {

namespace {

constexpr int32_t kHeaderWriter = -2;  // the size and checksum fields
constexpr uint64_t kFieldsBegin = kUnitSizeOffset;
constexpr uint64_t kFieldsEnd = kUnitChecksumOffset + 4;

enum Mask : uint8_t { kFixed = 0, kPointer = 1, kField = 2 };

struct Write {
  uint64_t start = 0;
  uint64_t length = 0;
  size_t order = 0;
  int32_t writer = 0;
  Mask mask = kFixed;
  const std::string* text = nullptr;  // bytes for a text write; zeros when null
};

// A stretch of the image that a build writes, as it must be after the build.
struct Segment {
  uint64_t start = 0;
  std::string bytes;             // the expected bytes (zero where masked)
  std::string mask;              // Mask per byte
  std::string actual;            // the built file's bytes where masked
  std::vector<int32_t> writers;  // per byte when several writes meet here
  int32_t writer = 0;            // the only writer otherwise

  uint64_t End() const { return start + bytes.size(); }
  int32_t WriterAt(uint64_t off) const { return writers.empty() ? writer : writers[off - start]; }
  Mask MaskAt(uint64_t off) const { return static_cast<Mask>(mask[off - start]); }
};

bool InFields(uint64_t off) { return off >= kFieldsBegin && off < kFieldsEnd; }

class UnitCheck {
 public:
  UnitCheck(const PhraseTable& table, const TranslationPlan& plan, BuiltFile& built, int64_t base, Report& report)
      : table_(table),
        plan_(plan),
        built_(built),
        base_(base),
        report_(report),
        image_(table.UnitImage.data()),
        imageLength_(plan.ImageLength),
        newSize_(plan.Summary.NewSize),
        paddedSize_(plan.Summary.PaddedSize) {}

  void Run() {
    Groups();
    PlanWrites();
    Sweep();
    CheckTranslations();
    CheckPointerWords();
    CheckAppendedArea();
    CheckFields();
    NoteChangedTexts();
  }

 private:
  // ---------------------------------------------------------- the plan

  // The root phrase of every link record a build follows, and the plan
  // entry of every planned phrase.
  void Groups() {
    const auto& phrases = table_.Phrases;
    planOf_.assign(phrases.size(), -1);
    for (size_t k = 0; k < plan_.Texts.size(); ++k) planOf_[plan_.Texts[k].Index] = static_cast<int32_t>(k);
    rootOf_.assign(phrases.size(), -1);
    links_.assign(plan_.Texts.size(), {});
    for (size_t i = 0; i < phrases.size(); ++i) {
      const TPhrase& p = phrases[i];
      if (!(p.Flags & pfLink)) {
        rootOf_[i] = static_cast<int32_t>(i);
        continue;
      }
      if (!RecordFitsImage(p, plan_.ImageLength, false) || p.MasterIndex < 0 || static_cast<size_t>(p.MasterIndex) >= i)
        continue;
      const auto m = static_cast<size_t>(p.MasterIndex);
      if (!RecordFitsImage(phrases[m], plan_.ImageLength, false)) continue;
      rootOf_[i] = rootOf_[m];
      if (rootOf_[i] >= 0 && planOf_[static_cast<size_t>(rootOf_[i])] >= 0)
        links_[static_cast<size_t>(planOf_[static_cast<size_t>(rootOf_[i])])].push_back(i);
    }
  }

  bool RelocatedRoot(size_t i) const {
    const int32_t r = rootOf_[i];
    return r >= 0 && planOf_[static_cast<size_t>(r)] >= 0 &&
           plan_.Texts[static_cast<size_t>(planOf_[static_cast<size_t>(r)])].Relocated;
  }

  void PlanWrites() {
    // Orders follow the table walk: record i's writes come after record
    // i - 1's, and the header fields come last.
    std::vector<Write> writes;
    auto add = [&](uint64_t start, uint64_t length, size_t order, int32_t writer, Mask mask, const std::string* text) {
      if (length > 0) writes.push_back({start, length, order, writer, mask, text});
    };
    const auto& phrases = table_.Phrases;
    for (size_t i = 0; i < phrases.size(); ++i) {
      const TPhrase& p = phrases[i];
      const auto who = static_cast<int32_t>(i);
      if ((p.Flags & pfLink) || planOf_[i] < 0) continue;
      const PlannedText& t = plan_.Texts[static_cast<size_t>(planOf_[i])];
      if (t.Relocated) {
        add(p.StringAddress, p.Length, 4 * i, who, kFixed, nullptr);
        add(p.LinkAddress, 4, 4 * i + 1, who, kPointer, nullptr);
      } else {
        add(p.StringAddress, t.Bytes.size(), 4 * i, who, kFixed, &t.Bytes);
        add(p.StringAddress + t.Bytes.size(), p.Length - t.Bytes.size(), 4 * i + 1, who, kFixed, nullptr);
      }
    }
    PlanLinkWrites(writes);
    if (imageLength_ > kFieldsBegin)
      add(kFieldsBegin, std::min<uint64_t>(kFieldsEnd, imageLength_) - kFieldsBegin, SIZE_MAX, kHeaderWriter, kField,
          nullptr);

    std::sort(writes.begin(), writes.end(),
              [](const Write& a, const Write& b) { return a.start != b.start ? a.start < b.start : a.order < b.order; });
    for (size_t i = 0; i < writes.size();) {
      uint64_t end = writes[i].start + writes[i].length;
      size_t j = i + 1;
      while (j < writes.size() && writes[j].start < end) end = std::max(end, writes[j].start + writes[j].length), ++j;
      std::vector<Write> cluster(writes.begin() + static_cast<std::ptrdiff_t>(i),
                                 writes.begin() + static_cast<std::ptrdiff_t>(j));
      std::sort(cluster.begin(), cluster.end(), [](const Write& a, const Write& b) { return a.order < b.order; });
      Segment s;
      s.start = writes[i].start;
      s.bytes.assign(end - s.start, '\0');
      s.mask.assign(end - s.start, static_cast<char>(kFixed));
      if (cluster.size() > 1) s.writers.assign(end - s.start, 0);
      s.writer = cluster.front().writer;
      for (const Write& w : cluster)
        for (uint64_t k = 0; k < w.length; ++k) {
          const uint64_t at = w.start - s.start + k;
          s.bytes[at] = w.text ? (*w.text)[k] : '\0';
          s.mask[at] = static_cast<char>(w.mask);
          if (!s.writers.empty()) s.writers[at] = w.writer;
        }
      if (s.mask.find(static_cast<char>(kPointer)) != std::string::npos) s.actual.assign(s.bytes.size(), '\0');
      segments_.push_back(std::move(s));
      i = j;
    }
  }

  // A link record's pointer follows its master's: when it is a link's turn,
  // the build reads the master's pointer word as the writes before it left
  // it and, when that no longer leads to the link's string, copies it. So a
  // link follows a relocated master, and also a master pointer that an
  // earlier text ran over.
  void PlanLinkWrites(std::vector<Write>& writes) {
    std::vector<Write> byStart(writes);
    std::sort(byStart.begin(), byStart.end(), [](const Write& a, const Write& b) { return a.start < b.start; });
    uint64_t longest = 0;
    for (const Write& w : byStart) longest = std::max(longest, w.length);
    std::vector<std::pair<uint8_t, Mask>> linkWord;  // per link record with a write: what it wrote
    std::vector<int64_t> linkWrite(table_.Phrases.size(), -1);
    const auto& phrases = table_.Phrases;
    for (size_t i = 0; i < phrases.size(); ++i) {
      const TPhrase& p = phrases[i];
      if (!(p.Flags & pfLink) || !RecordFitsImage(p, plan_.ImageLength, false) || p.MasterIndex < 0 ||
          static_cast<size_t>(p.MasterIndex) >= i || !RecordFitsImage(phrases[static_cast<size_t>(p.MasterIndex)],
                                                                      plan_.ImageLength, false))
        continue;
      const auto m = static_cast<size_t>(p.MasterIndex);
      const uint64_t word = phrases[m].LinkAddress;
      std::pair<uint8_t, Mask> now[4];
      for (uint64_t k = 0; k < 4; ++k) now[k] = {image_[word + k], kFixed};
      // The writes before this record that touch the master's word, in order.
      std::vector<const Write*> before;
      auto it = std::lower_bound(byStart.begin(), byStart.end(), word > longest ? word - longest : 0,
                                 [](const Write& w, uint64_t o) { return w.start < o; });
      for (; it != byStart.end() && it->start < word + 4; ++it)
        if (it->start + it->length > word && it->order < 4 * i) before.push_back(&*it);
      std::sort(before.begin(), before.end(), [](const Write* a, const Write* b) { return a->order < b->order; });
      for (const Write* w : before)
        for (uint64_t k = 0; k < 4; ++k)
          if (word + k >= w->start && word + k < w->start + w->length)
            now[k] = {w->text ? static_cast<uint8_t>((*w->text)[word + k - w->start]) : uint8_t{0}, w->mask};
      if (linkWrite[m] >= 0)
        for (uint64_t k = 0; k < 4; ++k) now[k] = linkWord[static_cast<size_t>(linkWrite[m]) * 4 + k];
      bool redirected = false;
      uint8_t value[4];
      for (uint64_t k = 0; k < 4; ++k) redirected |= now[k].second == kPointer, value[k] = now[k].first;
      if (!redirected && LoadBE32(value) - table_.Info.BaseAddress == p.StringAddress) continue;
      linkWrite[i] = static_cast<int64_t>(linkWord.size() / 4);
      for (uint64_t k = 0; k < 4; ++k) {
        linkWord.push_back(now[k]);
        writes.push_back({p.LinkAddress + k, 1, 4 * i, static_cast<int32_t>(i), now[k].second == kPointer ? kPointer : kFixed,
                          nullptr});
        if (now[k].second != kPointer) {
          ownedBytes_.emplace_back(1, static_cast<char>(value[k]));
          writes.back().text = &ownedBytes_.back();
        }
      }
    }
  }

  // The segment holding off, or null.
  const Segment* SegmentAt(uint64_t off) const {
    auto it = std::upper_bound(segments_.begin(), segments_.end(), off,
                               [](uint64_t o, const Segment& s) { return o < s.start; });
    if (it == segments_.begin()) return nullptr;
    --it;
    return off < it->End() ? &*it : nullptr;
  }

  // ---------------------------------------------------------- the pass

  void Sweep() {
    const int64_t avail = std::max<int64_t>(0, built_.Size() - base_);
    have_ = std::min<uint64_t>(paddedSize_, static_cast<uint64_t>(avail));
    const uint64_t appendedEnd = std::min(have_, newSize_);
    appended_.assign(appendedEnd > imageLength_ ? appendedEnd - imageLength_ : 0, 0);
    std::vector<uint8_t> buffer(static_cast<size_t>(std::min<uint64_t>(kChunk, std::max<uint64_t>(have_, 1))));
    for (uint64_t c0 = 0; c0 < have_; c0 += kChunk) {
      const auto n = static_cast<size_t>(std::min<uint64_t>(kChunk, have_ - c0));
      if (built_.ReadAt(base_ + static_cast<int64_t>(c0), buffer.data(), n) != n) {
        have_ = c0;  // the file changed under us; report it as ending here
        break;
      }
      chunk_ = buffer.data();
      chunkStart_ = c0;
      const uint64_t c1 = c0 + n;
      for (uint64_t o = std::max<uint64_t>(c0, kUnitHeaderSize); o + 4 <= std::min(c1, newSize_); o += 4)
        sum_ += LoadBE32(At(o));
      for (uint64_t o = std::max(c0, kFieldsBegin); o < std::min(c1, kFieldsEnd); ++o) fields_[o - kFieldsBegin] = *At(o);
      if (c0 < imageLength_) CompareImage(c0, std::min<uint64_t>(c1, imageLength_));
      if (c1 > imageLength_ && c0 < newSize_) {
        const uint64_t a = std::max<uint64_t>(c0, imageLength_), b = std::min(c1, newSize_);
        if (a < b) std::memcpy(appended_.data() + (a - imageLength_), At(a), b - a);
      }
      if (c1 > newSize_) CheckZeros(std::max(c0, newSize_), c1, VerifyKind::Padding);
    }
    FlushRun();
  }

  const uint8_t* At(uint64_t off) const { return chunk_ + (off - chunkStart_); }

  void CompareImage(uint64_t from, uint64_t to) {
    while (cursor_ < segments_.size() && segments_[cursor_].End() <= from) ++cursor_;
    uint64_t pos = from;
    while (pos < to) {
      Segment* s = cursor_ < segments_.size() ? &segments_[cursor_] : nullptr;
      const uint64_t plainEnd = s ? std::clamp<uint64_t>(s->start, pos, to) : to;
      if (pos < plainEnd) {
        ComparePlain(pos, plainEnd);
        pos = plainEnd;
      }
      if (!s || pos >= to) break;
      const uint64_t end = std::min(s->End(), to);
      CompareSegment(*s, pos, end);
      pos = end;
      if (pos == s->End()) ++cursor_;
    }
  }

  void ComparePlain(uint64_t from, uint64_t to) {
    if (std::memcmp(image_ + from, At(from), to - from) == 0) return;
    for (uint64_t o = from; o < to; ++o)
      if (image_[o] != *At(o) && !InFields(o)) Differs(o, image_[o], kPlainRun);
  }

  void CompareSegment(Segment& s, uint64_t from, uint64_t to) {
    for (uint64_t o = from; o < to; ++o) {
      const uint64_t k = o - s.start;
      const uint8_t got = *At(o);
      switch (s.MaskAt(o)) {
        case kFixed:
          if (static_cast<uint8_t>(s.bytes[k]) != got) Differs(o, static_cast<uint8_t>(s.bytes[k]), s.WriterAt(o));
          break;
        case kPointer:
          s.actual[k] = static_cast<char>(got);
          break;
        case kField:
          break;
      }
    }
  }

  void CheckZeros(uint64_t from, uint64_t to, VerifyKind kind) {
    for (uint64_t o = from; o < to; ++o)
      if (*At(o) != 0 && !InFields(o)) Differs(o, 0, kind == VerifyKind::Padding ? kPaddingRun : kPlainRun);
  }

  // ---------------------------------------------------------- differing runs

  // A run's class: plain image bytes, padding, or the bytes a writer wrote.
  static constexpr int32_t kPlainRun = -100;
  static constexpr int32_t kPaddingRun = -101;

  void Differs(uint64_t off, uint8_t expected, int32_t cls) {
    if (runLength_ > 0 && off == runStart_ + runLength_ && cls == runClass_) {
      ++runLength_;
      return;
    }
    FlushRun();
    runStart_ = off;
    runLength_ = 1;
    runClass_ = cls;
    runExpected_ = expected;
    runGot_ = *At(off);
  }

  void FlushRun() {
    if (runLength_ == 0) return;
    const uint64_t off = runStart_;
    const std::string where = runLength_ == 1 ? " at unit offset " + FormatHex0x(off)
                                              : " in " + std::to_string(runLength_) + " bytes from unit offset " + FormatHex0x(off);
    const std::string values = " (" + FormatHex(runGot_, 2) + " where " + FormatHex(runExpected_, 2) + " belongs)";
    const uint64_t pos = static_cast<uint64_t>(base_) + off;
    runLength_ = 0;
    if (runClass_ == kPaddingRun) {
      report_.Problem(VerifyKind::Padding, pos, "the zero padding after the unit is not zero" + where + values);
      return;
    }
    if (runClass_ == kPlainRun) {
      if (off < kUnitHeaderSize) {
        report_.Problem(VerifyKind::Header, pos, "the unit header differs from the project's image" + where + values);
      } else if (const auto ptr = PointerRecordAt(off)) {
        report_.Problem(VerifyKind::Pointer, pos,
                        "the pointer of " + RecordName(*ptr) + " at unit offset " +
                            FormatHex0x(table_.Phrases[*ptr].LinkAddress) + " was changed" + where + values);
      } else if (const auto text = PhraseTextAt(off)) {
        report_.Problem(VerifyKind::Image, pos,
                        "the text of phrase " + std::to_string(*text) +
                            ", which no switched-on translation changes, differs from the image" + where + values);
      } else {
        report_.Problem(VerifyKind::Image, pos, "an untouched area differs from the image" + where + values);
      }
      return;
    }
    const int32_t w = runClass_;
    if (w == kHeaderWriter) return;  // the fields are checked on their own
    const auto& p = table_.Phrases[static_cast<size_t>(w)];
    const bool relocated = planOf_[static_cast<size_t>(w)] >= 0 &&
                           plan_.Texts[static_cast<size_t>(planOf_[static_cast<size_t>(w)])].Relocated;
    if (relocated)
      report_.Problem(VerifyKind::Image, pos,
                      "the old room of relocated phrase " + std::to_string(w) + " at unit offset " +
                          FormatHex0x(p.StringAddress) + " is not emptied" + where + values);
    else
      report_.Problem(VerifyKind::Translation, pos,
                      "the in-place translation of phrase " + std::to_string(w) + " at unit offset " +
                          FormatHex0x(p.StringAddress) + " differs from its prepared text" + where + values);
  }

  std::string WriterName(int32_t writer) const {
    return writer == kHeaderWriter ? std::string("the unit header's size and checksum")
                                   : RecordName(static_cast<size_t>(writer));
  }

  std::string RecordName(size_t i) const {
    const TPhrase& p = table_.Phrases[i];
    if ((p.Flags & pfLink) && p.MasterIndex >= 0)
      return "link record " + std::to_string(i) + " of phrase " + std::to_string(p.MasterIndex);
    return "phrase " + std::to_string(i);
  }

  // Lookups for naming, built on first use.
  std::optional<size_t> PointerRecordAt(uint64_t off) {
    if (byPointer_.empty()) {
      for (size_t i = 0; i < table_.Phrases.size(); ++i) byPointer_.emplace_back(table_.Phrases[i].LinkAddress, i);
      std::sort(byPointer_.begin(), byPointer_.end());
    }
    auto it = std::upper_bound(byPointer_.begin(), byPointer_.end(), std::make_pair(off, SIZE_MAX));
    for (int back = 0; back < 4 && it != byPointer_.begin(); ++back) {
      --it;
      if (it->first <= off && off < it->first + 4) return it->second;
    }
    return std::nullopt;
  }

  std::optional<size_t> PhraseTextAt(uint64_t off) {
    if (byString_.empty()) {
      for (size_t i = 0; i < table_.Phrases.size(); ++i)
        if (!(table_.Phrases[i].Flags & pfLink)) byString_.emplace_back(table_.Phrases[i].StringAddress, i);
      std::sort(byString_.begin(), byString_.end());
    }
    auto it = std::upper_bound(byString_.begin(), byString_.end(), std::make_pair(off, SIZE_MAX));
    while (it != byString_.begin()) {
      --it;
      if (off - it->first > 0xFFFF) break;
      if (off <= it->first + table_.Phrases[it->second].Length) return it->second;
    }
    return std::nullopt;
  }

  // ---------------------------------------------------------- header

  void CheckFields() {
    const uint64_t pos = static_cast<uint64_t>(base_);
    if (have_ < paddedSize_)
      report_.Problem(VerifyKind::FileLength, pos + have_,
                      "the file ends " + std::to_string(have_) + " bytes into the translated unit, which takes " +
                          std::to_string(paddedSize_) + " bytes with its padding");
    if (paddedSize_ == 0) return;
    if (have_ >= kFieldsBegin + 4) {
      const uint32_t size = LoadBE32(fields_);
      if (size != newSize_)
        report_.Problem(VerifyKind::UnitSize, pos + kFieldsBegin,
                        "the unit header's size field holds " + std::to_string(size) +
                            "; the unit's written length is " + std::to_string(newSize_));
    }
    if (have_ >= kFieldsEnd && have_ >= newSize_) {
      const uint32_t stored = LoadBE32(fields_ + 4);
      if (stored != sum_)
        report_.Problem(VerifyKind::Checksum, pos + kUnitChecksumOffset,
                        "the unit header's checksum field holds " + FormatHex0x(stored) + "; the words from offset 128 to " +
                            std::to_string(newSize_) + " sum to " + FormatHex0x(sum_));
    }
  }

  // ---------------------------------------------------------- translations

  // The text the unit reads at a translation's place: its prepared bytes,
  // ended by a zero byte (the one preparation added, or the next byte).
  static std::string Terminated(const std::string& bytes) {
    return !bytes.empty() && bytes.back() == '\0' ? bytes : bytes + '\0';
  }

  // The byte the build leaves at an image offset, by the project alone, and
  // who wrote it (-1 for an image byte). Past the image: the appended area
  // as built. Returns false where the byte is unknown (a field, a redirected
  // pointer, or past what the file holds).
  bool ExpectedAt(uint64_t off, uint8_t& byte, int32_t& writer) const {
    writer = -1;
    if (off >= imageLength_) {
      if (off - imageLength_ >= appended_.size()) return false;
      byte = appended_[off - imageLength_];
      return true;
    }
    if (const Segment* s = SegmentAt(off)) {
      writer = s->WriterAt(off);
      if (s->MaskAt(off) != kFixed) return false;
      byte = static_cast<uint8_t>(s->bytes[off - s->start]);
      return true;
    }
    byte = image_[off];
    return true;
  }

  // The first writer that changed the pointer word at off from the image,
  // or -1 when the build leaves it alone.
  int32_t PointerOverwrittenBy(uint64_t off, bool redirected) const {
    for (uint64_t k = 0; k < 4; ++k) {
      const Segment* s = SegmentAt(off + k);
      if (!s) continue;  // a redirected pointer always lies in the stretch of its write
      const Mask m = s->MaskAt(off + k);
      if (redirected ? m != kPointer : (m != kFixed || static_cast<uint8_t>(s->bytes[off + k - s->start]) != image_[off + k]))
        return s->WriterAt(off + k);
    }
    return -1;
  }

  void CheckTranslations() {
    uint64_t hint = imageLength_;  // where the build puts the next relocated text
    for (size_t k = 0; k < plan_.Texts.size(); ++k) {
      const PlannedText& t = plan_.Texts[k];
      const std::string want = Terminated(t.Bytes);
      std::vector<size_t> pointers{t.Index};
      pointers.insert(pointers.end(), links_[k].begin(), links_[k].end());
      if (t.Relocated) {
        CheckRelocated(t, want, pointers, hint);
        hint += t.RelocatedSize;
      } else {
        CheckInPlace(t, want);
      }
    }
  }

  void CheckInPlace(const PlannedText& t, const std::string& want) {
    const TPhrase& p = table_.Phrases[t.Index];
    for (size_t k = 0; k < want.size(); ++k) {
      uint8_t byte = 0;
      int32_t writer = -1;
      const bool known = ExpectedAt(p.StringAddress + k, byte, writer);
      if (known && byte == static_cast<uint8_t>(want[k])) continue;
      if (!known && writer == -1) break;  // past what the file holds: reported as its length
      const uint64_t off = p.StringAddress + k;
      const std::string by = writer != -1 ? " by " + WriterName(writer) : " (no zero byte follows it)";
      report_.Problem(VerifyKind::Overwritten, static_cast<uint64_t>(base_) + off,
                      "the in-place translation of phrase " + std::to_string(t.Index) + " at unit offset " +
                          FormatHex0x(p.StringAddress) + " is overwritten at unit offset " + FormatHex0x(off) + by);
      break;
    }
  }

  // A pointer word that a build's text or zero writes change no longer
  // reaches what it reached: a text that runs over a pointer breaks the unit.
  void CheckPointerWords() {
    for (size_t i = 0; i < table_.Phrases.size(); ++i) {
      const TPhrase& rec = table_.Phrases[i];
      if (!RecordFitsImage(rec, plan_.ImageLength, false)) continue;
      const int32_t by = PointerOverwrittenBy(rec.LinkAddress, false);
      if (by == -1 || RelocatedRoot(i)) continue;
      report_.Problem(VerifyKind::Overwritten, static_cast<uint64_t>(base_) + rec.LinkAddress,
                      "the pointer of " + RecordName(i) + " at unit offset " + FormatHex0x(rec.LinkAddress) +
                          (by == static_cast<int32_t>(i) ? " copies its master's pointer, which a translation overwrote"
                                                         : " is overwritten by " + WriterName(by)));
    }
  }

  bool HoldsAt(uint64_t off, const std::string& want) const {
    if (off < imageLength_ || off - imageLength_ > appended_.size() || want.size() > appended_.size() - (off - imageLength_))
      return false;
    return std::memcmp(appended_.data() + (off - imageLength_), want.data(), want.size()) == 0;
  }

  void Cover(uint64_t off, size_t length) {
    if (off < imageLength_ || off - imageLength_ >= appended_.size()) return;
    const uint64_t from = off - imageLength_;
    covered_.emplace_back(from, std::min<uint64_t>(appended_.size(), from + length));
  }

  void CheckRelocated(const PlannedText& t, const std::string& want, const std::vector<size_t>& pointers,
                      uint64_t hint) {
    const uint64_t pos = static_cast<uint64_t>(base_);
    for (const size_t r : pointers) {
      const uint32_t at = table_.Phrases[r].LinkAddress;
      const int32_t by = PointerOverwrittenBy(at, true);
      if (by != -1) {
        // The text itself may still stand where the build put it.
        if (HoldsAt(hint, want)) Cover(hint, want.size());
        report_.Problem(VerifyKind::Overwritten, pos + at,
                        "the redirected pointer of " + RecordName(r) + " at unit offset " + FormatHex0x(at) +
                            (by == static_cast<int32_t>(r) ? " copies its master's pointer, which a translation overwrote"
                                                           : " is overwritten by " + WriterName(by)));
        continue;
      }
      if (at + 4 > have_) continue;  // the file ends before it: reported as its length
      uint8_t word[4] = {};
      for (uint32_t k = 0; k < 4; ++k)
        if (const Segment* s = SegmentAt(at + k)) word[k] = static_cast<uint8_t>(s->actual[at + k - s->start]);
      const uint64_t target = static_cast<uint32_t>(LoadBE32(word) - table_.Info.BaseAddress);
      if (have_ < newSize_ && target + want.size() > have_ && target < newSize_) continue;  // reported as the length
      if (HoldsAt(target, want)) {
        Cover(target, want.size());
        continue;
      }
      const std::string who = RecordName(r) + " at unit offset " + FormatHex0x(at);
      const bool outside = target < imageLength_ || target >= newSize_;
      if (!outside && target == hint) {
        // The pointer is where the build puts the text: the text is damaged.
        Cover(target, want.size());
        if (!reported_.insert({t.Index, target}).second) continue;
        size_t k = 0;
        while (k < want.size() && target + k < imageLength_ + appended_.size() &&
               appended_[target + k - imageLength_] == static_cast<uint8_t>(want[k]))
          ++k;
        report_.Problem(VerifyKind::Translation, pos + target + k,
                        "the relocated translation of phrase " + std::to_string(t.Index) + " at unit offset " +
                            FormatHex0x(target) + " differs from its prepared text at unit offset " + FormatHex0x(target + k));
        continue;
      }
      const bool foundAtHint = HoldsAt(hint, want);
      if (foundAtHint) Cover(hint, want.size());
      report_.Problem(VerifyKind::Pointer, pos + at,
                      "the redirected pointer of " + who + " leads to unit offset " + FormatHex0x(target) +
                          (outside ? ", outside the appended area" : "") +
                          (foundAtHint ? "; its translation is at " + FormatHex0x(hint)
                                       : ", which does not hold its translation followed by a zero byte"));
    }
  }

  // Every byte of the appended area either belongs to a translation that a
  // pointer reaches, or is zero.
  void CheckAppendedArea() {
    std::sort(covered_.begin(), covered_.end());
    uint64_t from = 0;
    auto gap = [&](uint64_t a, uint64_t b) {
      for (uint64_t o = a; o < b;) {
        if (appended_[o] == 0 || InFields(imageLength_ + o)) {
          ++o;
          continue;
        }
        uint64_t e = o;
        while (e < b && appended_[e] != 0) ++e;
        report_.Problem(VerifyKind::Appended, static_cast<uint64_t>(base_) + imageLength_ + o,
                        "the appended area holds bytes that belong to no translation a pointer reaches: " +
                            std::to_string(e - o) + " from unit offset " + FormatHex0x(imageLength_ + o));
        o = e;
      }
    };
    for (const auto& [a, b] : covered_) {
      if (a > from) gap(from, a);
      from = std::max(from, b);
    }
    if (from < appended_.size()) gap(from, appended_.size());
  }

  // ---------------------------------------------------------- notes

  // Phrases that are not switched on but share bytes that a translation
  // changes: the unit will show them changed (or empty).
  void NoteChangedTexts() {
    for (size_t i = 0; i < table_.Phrases.size(); ++i) {
      const TPhrase& p = table_.Phrases[i];
      if ((p.Flags & pfLink) || planOf_[i] >= 0 || !RecordFitsImage(p, plan_.ImageLength, true)) continue;
      auto it = std::upper_bound(segments_.begin(), segments_.end(), uint64_t{p.StringAddress},
                                 [](uint64_t o, const Segment& s) { return o < s.start; });
      if (it != segments_.begin()) --it;
      for (; it != segments_.end() && it->start < uint64_t{p.StringAddress} + p.Length; ++it) {
        const uint64_t a = std::max<uint64_t>(it->start, p.StringAddress);
        const uint64_t b = std::min<uint64_t>(it->End(), uint64_t{p.StringAddress} + p.Length);
        int32_t writer = -1;
        for (uint64_t o = a; o < b && writer < 0; ++o)
          if (it->MaskAt(o) == kFixed && static_cast<uint8_t>(it->bytes[o - it->start]) != image_[o])
            writer = it->WriterAt(o);
        if (writer >= 0) {
          report_.Note("The text of phrase " + std::to_string(i) + " at unit offset " + FormatHex0x(p.StringAddress) +
                       ", which is not switched on, is changed by the translation of phrase " +
                       std::to_string(writer) + ".");
          break;
        }
      }
    }
  }

  const PhraseTable& table_;
  const TranslationPlan& plan_;
  BuiltFile& built_;
  const int64_t base_;
  Report& report_;
  const uint8_t* const image_;
  const uint64_t imageLength_;
  const uint64_t newSize_;
  const uint64_t paddedSize_;

  std::vector<int32_t> planOf_;              // per record: its plan entry, -1 for none
  std::vector<int32_t> rootOf_;              // per record: the phrase a link follows, -1 for none
  std::vector<std::vector<size_t>> links_;   // per plan entry: the link records that follow it
  std::vector<Segment> segments_;
  std::deque<std::string> ownedBytes_;       // bytes that link writes copy
  size_t cursor_ = 0;

  uint64_t have_ = 0;                // unit bytes the file holds, up to the padded size
  const uint8_t* chunk_ = nullptr;   // the piece being compared
  uint64_t chunkStart_ = 0;
  uint32_t sum_ = 0;
  uint8_t fields_[8] = {};
  std::vector<uint8_t> appended_;    // the appended area as built (as far as the file holds it)
  std::vector<std::pair<uint64_t, uint64_t>> covered_;
  std::set<std::pair<size_t, uint64_t>> reported_;

  uint64_t runStart_ = 0, runLength_ = 0;
  int32_t runClass_ = 0;
  uint8_t runExpected_ = 0, runGot_ = 0;

  std::vector<std::pair<uint64_t, size_t>> byPointer_, byString_;
};

}  // namespace

void CheckUnit(const PhraseTable& table, const TranslationPlan& plan, BuiltFile& built, int64_t base, Report& report) {
  UnitCheck(table, plan, built, base, report).Run();
}

}  // namespace velmora::verify
