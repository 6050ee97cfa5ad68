#include "project/file/PhraseMerge.h"

namespace velmora {

namespace {

constexpr uint16_t kMergedFlags = pfHide | pfOn;

// The same phrase in both: the record that extraction made, whatever the
// translator did with it.
bool SameRecord(const TPhrase& a, const TPhrase& b) {
  return a.LinkAddress == b.LinkAddress && a.StringAddress == b.StringAddress && a.Length == b.Length &&
         (a.Flags & pfLink) == (b.Flags & pfLink) && a.MasterIndex == b.MasterIndex;
}

bool SameRecords(const PhraseRecords& a, const PhraseRecords& b) {
  if (a.Phrases.size() != b.Phrases.size()) return false;
  for (size_t i = 0; i < a.Phrases.size(); ++i)
    if (!SameRecord(a.Phrases[i], b.Phrases[i])) return false;
  return true;
}

}  // namespace

PhraseVersion PhraseRecords::Version(size_t index) const {
  const TPhrase& p = Phrases[index];
  PhraseVersion v;
  v.Flags = static_cast<uint16_t>(p.Flags & kMergedFlags);
  if (p.EditIndex >= 0 && static_cast<size_t>(p.EditIndex) < EditedTexts.size()) {
    v.HasText = true;
    v.Text = EditedTexts[static_cast<size_t>(p.EditIndex)];
  }
  return v;
}

MergePlan PlanMerge(const PhraseRecords& base, const PhraseRecords& mine, const PhraseRecords& theirs) {
  MergePlan plan;
  if (!SameRecords(base, mine) || !SameRecords(base, theirs)) {
    plan.SameProject = false;
    return plan;
  }
  for (size_t i = 0; i < base.Phrases.size(); ++i) {
    if (base.Phrases[i].Flags & pfLink) continue;
    const PhraseVersion b = base.Version(i);
    PhraseVersion t = theirs.Version(i);
    if (t == b) continue;  // unchanged on disk: mine stands
    PhraseVersion m = mine.Version(i);
    if (m == t) continue;  // the same change on both sides
    if (m == b) {
      plan.TakeTheirs.push_back(i);
    } else {
      plan.Conflicts.push_back({i, std::move(m), std::move(t)});
    }
  }
  return plan;
}

void TakeVersion(PhraseTable& table, size_t index, const PhraseVersion& version) {
  TPhrase& p = table.Phrases[index];
  if (!version.HasText) {
    p.EditIndex = -1;
  } else if (!table.HasEditedText(p) || table.EditedText(p) != version.Text) {
    table.AppendEditedText(index, version.Text);
  }
  TPhrase& q = table.Phrases[index];
  q.Flags = static_cast<uint16_t>((q.Flags & ~kMergedFlags) | version.Flags);
  // A phrase without a text is never switched on.
  if (q.EditIndex < 0) q.Flags = static_cast<uint16_t>(q.Flags & ~pfOn);
}

}  // namespace velmora
