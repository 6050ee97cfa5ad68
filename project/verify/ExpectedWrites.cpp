#include "project/verify/ExpectedWrites.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "analysis/UnitHeader.h"
#include "container/io/ByteOrder.h"

namespace velmora::verify {

namespace {

constexpr uint64_t kFieldsBegin = kUnitSizeOffset;
constexpr uint64_t kFieldsEnd = kUnitChecksumOffset + 4;

}  // namespace

ExpectedWrites::ExpectedWrites(const PhraseTable& table, const TranslationPlan& plan)
    : table_(table), plan_(plan), image_(table.UnitImage.data()), imageLength_(plan.ImageLength) {
  Groups();
  PlanWrites();
}

// The root phrase of every link record a build follows, and the plan
// entry of every planned phrase.
void ExpectedWrites::Groups() {
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

bool ExpectedWrites::RelocatedRoot(size_t i) const {
  const int32_t r = rootOf_[i];
  return r >= 0 && planOf_[static_cast<size_t>(r)] >= 0 &&
         plan_.Texts[static_cast<size_t>(planOf_[static_cast<size_t>(r)])].Relocated;
}

void ExpectedWrites::PlanWrites() {
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
            [](const Write& a, const Write& b) { return a.Start != b.Start ? a.Start < b.Start : a.Order < b.Order; });
  for (size_t i = 0; i < writes.size();) {
    uint64_t end = writes[i].Start + writes[i].Length;
    size_t j = i + 1;
    while (j < writes.size() && writes[j].Start < end) end = std::max(end, writes[j].Start + writes[j].Length), ++j;
    std::vector<Write> cluster(writes.begin() + static_cast<std::ptrdiff_t>(i),
                               writes.begin() + static_cast<std::ptrdiff_t>(j));
    std::sort(cluster.begin(), cluster.end(), [](const Write& a, const Write& b) { return a.Order < b.Order; });
    Segment s;
    s.Start = writes[i].Start;
    s.Bytes.assign(end - s.Start, '\0');
    s.Masks.assign(end - s.Start, static_cast<char>(kFixed));
    if (cluster.size() > 1) s.Writers.assign(end - s.Start, 0);
    s.Writer = cluster.front().Writer;
    for (const Write& w : cluster)
      for (uint64_t k = 0; k < w.Length; ++k) {
        const uint64_t at = w.Start - s.Start + k;
        s.Bytes[at] = w.Text ? (*w.Text)[k] : '\0';
        s.Masks[at] = static_cast<char>(w.ByteMask);
        if (!s.Writers.empty()) s.Writers[at] = w.Writer;
      }
    segments_.push_back(std::move(s));
    i = j;
  }
}

// A link record's pointer follows its master's: when it is a link's turn,
// the build reads the master's pointer word as the writes before it left
// it and, when that no longer leads to the link's string, copies it. So a
// link follows a relocated master, and also a master pointer that an
// earlier text ran over.
void ExpectedWrites::PlanLinkWrites(std::vector<Write>& writes) {
  std::vector<Write> byStart(writes);
  std::sort(byStart.begin(), byStart.end(), [](const Write& a, const Write& b) { return a.Start < b.Start; });
  uint64_t longest = 0;
  for (const Write& w : byStart) longest = std::max(longest, w.Length);
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
                               [](const Write& w, uint64_t o) { return w.Start < o; });
    for (; it != byStart.end() && it->Start < word + 4; ++it)
      if (it->Start + it->Length > word && it->Order < 4 * i) before.push_back(&*it);
    std::sort(before.begin(), before.end(), [](const Write* a, const Write* b) { return a->Order < b->Order; });
    for (const Write* w : before)
      for (uint64_t k = 0; k < 4; ++k)
        if (word + k >= w->Start && word + k < w->Start + w->Length)
          now[k] = {w->Text ? static_cast<uint8_t>((*w->Text)[word + k - w->Start]) : uint8_t{0}, w->ByteMask};
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
        writes.back().Text = &ownedBytes_.back();
      }
    }
  }
}

const Segment* ExpectedWrites::SegmentAt(uint64_t off) const {
  auto it = std::upper_bound(segments_.begin(), segments_.end(), off,
                             [](uint64_t o, const Segment& s) { return o < s.Start; });
  if (it == segments_.begin()) return nullptr;
  --it;
  return off < it->End() ? &*it : nullptr;
}

int32_t ExpectedWrites::PointerOverwrittenBy(uint64_t off, bool redirected) const {
  for (uint64_t k = 0; k < 4; ++k) {
    const Segment* s = SegmentAt(off + k);
    if (!s) continue;  // a redirected pointer always lies in the stretch of its write
    const Mask m = s->MaskAt(off + k);
    if (redirected ? m != kPointer : (m != kFixed || static_cast<uint8_t>(s->Bytes[off + k - s->Start]) != image_[off + k]))
      return s->WriterAt(off + k);
  }
  return -1;
}

}  // namespace velmora::verify
