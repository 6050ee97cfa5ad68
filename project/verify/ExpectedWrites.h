// Where a build of the project writes in the unit image, worked out from the
// project alone: in table order, as a build writes, the in-place texts and
// the zeros after them, the emptied rooms of relocated texts, the redirected
// pointers of relocated texts and of the link records that follow them
// (whose value is known only by where it leads), and the header's size and
// checksum fields. Where writes overlap the later one wins, as in a build.
//
// The writes are merged into segments: stretches of the image that say, byte
// for byte, what a build leaves there and who wrote it. Every other byte of
// the image is left as the image holds it.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "analysis/PhraseTable.h"
#include "project/build/TranslationPlan.h"

namespace velmora::verify {

// What a segment's byte holds after a build.
enum Mask : uint8_t {
  kFixed = 0,    // the byte in Segment::Bytes
  kPointer = 1,  // a byte of a redirected pointer: checked by where the pointer leads
  kField = 2,    // a byte of the header's size or checksum: checked on its own
};

// The writer of the header's size and checksum fields; records write as
// their index in Phrases.
constexpr int32_t kHeaderWriter = -2;

struct Segment {
  uint64_t Start = 0;
  std::string Bytes;             // the expected bytes (zero where masked)
  std::string Masks;             // Mask per byte
  std::vector<int32_t> Writers;  // per byte when several writes meet here
  int32_t Writer = 0;            // the only writer otherwise

  uint64_t End() const { return Start + Bytes.size(); }
  int32_t WriterAt(uint64_t off) const { return Writers.empty() ? Writer : Writers[off - Start]; }
  Mask MaskAt(uint64_t off) const { return static_cast<Mask>(Masks[off - Start]); }
};

class ExpectedWrites {
 public:
  ExpectedWrites(const PhraseTable& table, const TranslationPlan& plan);

  // In ascending order, none overlapping another.
  const std::vector<Segment>& Segments() const { return segments_; }
  // The segment that holds the image offset off, or null.
  const Segment* SegmentAt(uint64_t off) const;

  // The plan entry of record i (an index into plan.Texts), -1 for none.
  int32_t PlanOf(size_t i) const { return planOf_[i]; }
  // The link records that follow plan entry k.
  const std::vector<size_t>& LinksOf(size_t k) const { return links_[k]; }
  // True when record i is, or is a link that follows, a relocated phrase.
  bool RelocatedRoot(size_t i) const;

  // The first writer that changes the pointer word at off from the image
  // (redirected false), or that writes anything but its redirection
  // (redirected true); -1 when there is none.
  int32_t PointerOverwrittenBy(uint64_t off, bool redirected) const;

 private:
  struct Write {
    uint64_t Start = 0;
    uint64_t Length = 0;
    size_t Order = 0;
    int32_t Writer = 0;
    Mask ByteMask = kFixed;
    const std::string* Text = nullptr;  // bytes for a text write; zeros when null
  };

  void Groups();
  void PlanWrites();
  void PlanLinkWrites(std::vector<Write>& writes);

  const PhraseTable& table_;
  const TranslationPlan& plan_;
  const uint8_t* const image_;
  const uint64_t imageLength_;

  std::vector<int32_t> planOf_;             // per record: its plan entry, -1 for none
  std::vector<int32_t> rootOf_;             // per record: the phrase a link follows, -1 for none
  std::vector<std::vector<size_t>> links_;  // per plan entry: the link records that follow it
  std::vector<Segment> segments_;
  std::deque<std::string> ownedBytes_;      // bytes that link writes copy
};

}  // namespace velmora::verify
