// The check of one translated unit inside a built file.
//
// One pass over the built unit compares every byte of the image that a
// build leaves alone with the image, and the stretches a build writes
// (ExpectedWrites) with what they must hold; it sums the checksum and keeps
// the appended area. The pointers of relocated texts, whose value is known
// only by where they lead, are followed into it afterwards, and the header's
// size and checksum fields are checked on their own.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>
#include <set>
#include <utility>
#include <vector>

#include "analysis/UnitHeader.h"
#include "container/io/ByteOrder.h"
#include "project/verify/DifferingRuns.h"
#include "project/verify/ExpectedWrites.h"
#include "project/verify/VerifyReport.h"

namespace velmora::verify {

namespace {

constexpr uint64_t kFieldsBegin = kUnitSizeOffset;
constexpr uint64_t kFieldsEnd = kUnitChecksumOffset + 4;

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
        paddedSize_(plan.Summary.PaddedSize),
        writes_(table, plan),
        segments_(writes_.Segments()),
        builtPointers_(segments_.size()),
        runs_([this](const DifferingRun& run) { ReportRun(run); }) {}

  void Run() {
    // A cut file is told first: the problems after it follow from the cut.
    const int64_t avail = std::max<int64_t>(0, built_.Size() - base_);
    have_ = std::min<uint64_t>(paddedSize_, static_cast<uint64_t>(avail));
    if (have_ < paddedSize_) ReportTruncation();
    const uint64_t measured = have_;
    Sweep();
    if (have_ < measured) ReportTruncation();  // the file changed under us
    CheckTranslations();
    CheckPointerWords();
    CheckHeaderWrites();
    CheckAppendedArea();
    CheckFields();
    NoteChangedTexts();
  }

 private:
  // ---------------------------------------------------------- the pass

  void Sweep() {
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
    runs_.Flush();
  }

  const uint8_t* At(uint64_t off) const { return chunk_ + (off - chunkStart_); }

  void CompareImage(uint64_t from, uint64_t to) {
    while (cursor_ < segments_.size() && segments_[cursor_].End() <= from) ++cursor_;
    uint64_t pos = from;
    while (pos < to) {
      const Segment* s = cursor_ < segments_.size() ? &segments_[cursor_] : nullptr;
      const uint64_t plainEnd = s ? std::clamp<uint64_t>(s->Start, pos, to) : to;
      if (pos < plainEnd) {
        ComparePlain(pos, plainEnd);
        pos = plainEnd;
      }
      if (!s || pos >= to) break;
      const uint64_t end = std::min(s->End(), to);
      CompareSegment(cursor_, pos, end);
      pos = end;
      if (pos == s->End()) ++cursor_;
    }
  }

  void ComparePlain(uint64_t from, uint64_t to) {
    if (std::memcmp(image_ + from, At(from), to - from) == 0) return;
    for (uint64_t o = from; o < to; ++o)
      if (image_[o] != *At(o) && !InFields(o)) Differs(o, image_[o], kPlainRun);
  }

  void CompareSegment(size_t index, uint64_t from, uint64_t to) {
    const Segment& s = segments_[index];
    for (uint64_t o = from; o < to; ++o) {
      const uint64_t k = o - s.Start;
      const uint8_t got = *At(o);
      switch (s.MaskAt(o)) {
        case kFixed:
          if (static_cast<uint8_t>(s.Bytes[k]) != got) Differs(o, static_cast<uint8_t>(s.Bytes[k]), s.WriterAt(o));
          break;
        case kPointer:
          if (builtPointers_[index].empty()) builtPointers_[index].assign(s.Bytes.size(), '\0');
          builtPointers_[index][k] = static_cast<char>(got);
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

  // A run's group: the writer of the bytes, or one of these.
  static constexpr int32_t kPlainRun = -100;    // image bytes that no build changes
  static constexpr int32_t kPaddingRun = -101;  // the zero padding after the unit

  void Differs(uint64_t off, uint8_t expected, int32_t group) { runs_.Add(off, *At(off), expected, group); }

  void ReportRun(const DifferingRun& run) {
    const uint64_t off = run.Start;
    const std::string where = RunPlace(run, "unit offset");
    const std::string values = RunValues(run);
    const uint64_t pos = static_cast<uint64_t>(base_) + off;
    if (run.Group == kPaddingRun) {
      report_.Problem(VerifyKind::Padding, pos, "the zero padding after the unit is not zero" + where + values);
      return;
    }
    if (run.Group == kPlainRun) {
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
    const auto w = static_cast<int32_t>(run.Group);
    if (w == kHeaderWriter) return;  // the fields are checked on their own
    const auto& p = table_.Phrases[static_cast<size_t>(w)];
    const int32_t k = writes_.PlanOf(static_cast<size_t>(w));
    const bool relocated = k >= 0 && plan_.Texts[static_cast<size_t>(k)].Relocated;
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

  void ReportTruncation() {
    const char* where = have_ < kUnitHeaderSize ? "its header"
                        : have_ < imageLength_  ? "its image"
                        : have_ < newSize_      ? "its appended area"
                                                : "its zero padding";
    report_.Problem(VerifyKind::FileLength, static_cast<uint64_t>(base_) + have_,
                    "truncated: the file ends " + std::to_string(have_) + " bytes into the translated unit, inside " +
                        where + "; the unit takes " + std::to_string(paddedSize_) + " bytes with its padding, so " +
                        std::to_string(paddedSize_ - have_) + " are missing");
  }

  void CheckFields() {
    const uint64_t pos = static_cast<uint64_t>(base_);
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
    if (const Segment* s = writes_.SegmentAt(off)) {
      writer = s->WriterAt(off);
      if (s->MaskAt(off) != kFixed) return false;
      byte = static_cast<uint8_t>(s->Bytes[off - s->Start]);
      return true;
    }
    byte = image_[off];
    return true;
  }

  // A byte of a redirected pointer as the built file holds it (0 where the
  // file ends before it).
  uint8_t BuiltPointerByte(uint64_t off) const {
    const Segment* s = writes_.SegmentAt(off);
    if (!s) return 0;
    const std::string& bytes = builtPointers_[static_cast<size_t>(s - segments_.data())];
    return bytes.empty() ? 0 : static_cast<uint8_t>(bytes[off - s->Start]);
  }

  void CheckTranslations() {
    uint64_t hint = imageLength_;  // where the build puts the next relocated text
    for (size_t k = 0; k < plan_.Texts.size(); ++k) {
      const PlannedText& t = plan_.Texts[k];
      const std::string want = Terminated(t.Bytes);
      std::vector<size_t> pointers{t.Index};
      pointers.insert(pointers.end(), writes_.LinksOf(k).begin(), writes_.LinksOf(k).end());
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
                          FormatHex0x(p.StringAddress) + " is overwritten at unit offset " + FormatHex0x(off) + by,
                      writer >= 0);
      break;
    }
  }

  // In the header a build writes the size and checksum, and the texts of
  // phrases whose pointers lead to them: a record of a damaged project
  // (whose pointer leads elsewhere) would change the unit's tag, and a text
  // over the numbers from offset 112 on its BaseAddress.
  bool LeadsToItsText(size_t i) const {
    const TPhrase& p = table_.Phrases[i];
    return p.LinkAddress >= kUnitHeaderSize &&
           LoadBE32(image_ + p.LinkAddress) - table_.Info.BaseAddress == p.StringAddress;
  }

  void CheckHeaderWrites() {
    int32_t last = kHeaderWriter;
    for (const verify::Segment& s : writes_.Segments()) {
      if (s.Start >= kUnitHeaderSize) break;
      for (uint64_t o = s.Start; o < std::min<uint64_t>(s.End(), kUnitHeaderSize); ++o) {
        const int32_t w = s.WriterAt(o);
        if (w == kHeaderWriter || w == last) continue;
        // A phrase found through its pointer may hold a header text (the
        // maker text); the numbers from BaseAddress on are never text.
        if (o < kBaseAddressOffset && LeadsToItsText(static_cast<size_t>(w))) continue;
        last = w;
        report_.Problem(VerifyKind::Header, static_cast<uint64_t>(base_) + o,
                        RecordName(static_cast<size_t>(w)) + " writes into the unit header at unit offset " +
                            FormatHex0x(o));
      }
    }
  }

  // A pointer word that a build's text or zero writes change no longer
  // reaches what it reached: a text that runs over a pointer breaks the unit.
  void CheckPointerWords() {
    for (size_t i = 0; i < table_.Phrases.size(); ++i) {
      const TPhrase& rec = table_.Phrases[i];
      if (!RecordFitsImage(rec, plan_.ImageLength, false)) continue;
      const int32_t by = writes_.PointerOverwrittenBy(rec.LinkAddress, false);
      if (by == -1 || writes_.RelocatedRoot(i)) continue;
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

  // The start of want, as far as the file holds the appended area.
  bool HoldsPartAt(uint64_t off, const std::string& want) const {
    if (off < imageLength_ || off - imageLength_ > appended_.size()) return false;
    const size_t n = std::min<size_t>(want.size(), appended_.size() - (off - imageLength_));
    return std::memcmp(appended_.data() + (off - imageLength_), want.data(), n) == 0;
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
      const int32_t by = writes_.PointerOverwrittenBy(at, true);
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
        word[k] = BuiltPointerByte(at + k);
      const uint64_t target = static_cast<uint32_t>(LoadBE32(word) - table_.Info.BaseAddress);
      if (have_ < newSize_ && target + want.size() > have_ && target < newSize_ &&
          (target >= have_ || HoldsPartAt(target, want))) {
        // Cut by the end of the file (reported as its length): what it holds
        // of the text belongs to it.
        Cover(target, want.size());
        continue;
      }
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
      if ((p.Flags & pfLink) || writes_.PlanOf(i) >= 0 || !RecordFitsImage(p, plan_.ImageLength, true)) continue;
      auto it = std::upper_bound(segments_.begin(), segments_.end(), uint64_t{p.StringAddress},
                                 [](uint64_t o, const Segment& s) { return o < s.Start; });
      if (it != segments_.begin()) --it;
      for (; it != segments_.end() && it->Start < uint64_t{p.StringAddress} + p.Length; ++it) {
        const uint64_t a = std::max<uint64_t>(it->Start, p.StringAddress);
        const uint64_t b = std::min<uint64_t>(it->End(), uint64_t{p.StringAddress} + p.Length);
        int32_t writer = -1;
        for (uint64_t o = a; o < b && writer < 0; ++o)
          if (it->MaskAt(o) == kFixed && static_cast<uint8_t>(it->Bytes[o - it->Start]) != image_[o])
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

  const ExpectedWrites writes_;
  const std::vector<Segment>& segments_;
  std::vector<std::string> builtPointers_;  // per segment: the built file's bytes where a pointer is redirected
  size_t cursor_ = 0;                        // the segment the pass has reached

  uint64_t have_ = 0;                // unit bytes the file holds, up to the padded size
  const uint8_t* chunk_ = nullptr;   // the piece being compared
  uint64_t chunkStart_ = 0;
  uint32_t sum_ = 0;
  uint8_t fields_[8] = {};
  std::vector<uint8_t> appended_;    // the appended area as built (as far as the file holds it)
  std::vector<std::pair<uint64_t, uint64_t>> covered_;
  std::set<std::pair<size_t, uint64_t>> reported_;

  DifferingRuns runs_;

  std::vector<std::pair<uint64_t, size_t>> byPointer_, byString_;
};

}  // namespace

void CheckUnit(const PhraseTable& table, const TranslationPlan& plan, BuiltFile& built, int64_t base, Report& report) {
  UnitCheck(table, plan, built, base, report).Run();
}

}  // namespace velmora::verify
