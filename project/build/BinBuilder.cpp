#include "project/build/BinBuilder.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "analysis/UnitHeader.h"
#include "analysis/UnitText.h"
#include "container/io/AtomicFile.h"
#include "container/io/ByteOrder.h"
#include "container/io/StreamErrors.h"
#include "container/kiwi/KiwiPrimitives.h"
#include "project/build/UnitOverlay.h"

namespace velmora {

namespace {

// True when the byte range [offset, offset + count) lies within length bytes.
constexpr bool Fits(uint64_t offset, uint64_t count, uint64_t length) {
  return offset <= length && count <= length - offset;
}

}  // namespace

int64_t BuildUnit(const PhraseTable& table, TStream& output) {
  // A loaded project is checked when it is opened; still, nothing here may
  // write outside the image, so every record is bounds-checked and a record
  // that breaks the table's invariants is left alone.
  const size_t imageLength = std::min<size_t>(table.ImageLength(), table.UnitImage.size());
  const uint32_t baseAddress = table.Info.BaseAddress;
  TUnitOverlay unit(table.UnitImage, imageLength);
  uint64_t end = imageLength;  // unit offset of the next relocated text

  const auto& phrases = table.Phrases;
  for (size_t i = 0; i < phrases.size(); ++i) {
    const TPhrase& p = phrases[i];
    if (!Fits(p.LinkAddress, 4, imageLength)) continue;

    if (p.Flags & pfLink) {
      // The master comes earlier and has been written already: when its
      // pointer has moved, this pointer follows it.
      if (p.MasterIndex < 0 || static_cast<size_t>(p.MasterIndex) >= i) continue;
      const TPhrase& master = phrases[static_cast<size_t>(p.MasterIndex)];
      if (!Fits(master.LinkAddress, 4, imageLength)) continue;
      const uint32_t masterPointer = unit.LoadBE32(master.LinkAddress);
      if (masterPointer - baseAddress != p.StringAddress) unit.StoreBE32(p.LinkAddress, masterPointer);
      continue;
    }

    if (!(p.Flags & pfOn) || !table.HasEditedText(p)) continue;
    if (!Fits(p.StringAddress, p.Length, imageLength)) continue;

    const PreparedText prepared = PrepareTextForUnit(table.EditedTexts[static_cast<size_t>(p.EditIndex)]);
    const size_t n = prepared.Bytes.size();
    if (n <= p.Length) {
      // In place; the string's own zero byte behind its room ends the text.
      unit.Write(p.StringAddress, prepared.Bytes.data(), n);
      unit.Fill(p.StringAddress + n, 0, p.Length - n);
      continue;
    }

    // Relocated. A text whose preparation added no zero byte gets two: its
    // terminator and one that keeps the next relocated text at an even
    // distance from the start of the area.
    const uint64_t appended = prepared.RelocatedSize();
    if (end + appended > std::numeric_limits<uint32_t>::max() - 3u)
      throw ERefusal("The translated unit would be larger than 4 GB.");
    unit.Fill(p.StringAddress, 0, p.Length);
    unit.StoreBE32(p.LinkAddress, static_cast<uint32_t>(end) + baseAddress);
    unit.Write(end, prepared.Bytes.data(), n);
    if (!prepared.ZeroAdded) unit.Fill(end + n, 0, 2);
    end += appended;
  }

  const uint64_t newSize = RoundUp(end, 4);
  const uint64_t paddedSize = RoundUp(newSize, kUnitPadding);
  if (paddedSize >= kUnitChecksumOffset + 4) {
    unit.StoreBE32(kUnitSizeOffset, static_cast<uint32_t>(newSize));
    unit.StoreBE32(kUnitChecksumOffset, unit.SumWords(newSize));
  }
  unit.WriteTo(output, paddedSize);
  return static_cast<int64_t>(paddedSize);
}

std::vector<uint8_t> AssembleUnit(const PhraseTable& table) {
  // Room for the image, every text that might move (with its zero bytes),
  // the alignment and the padding, so the unit is never copied while it grows.
  size_t room = std::min<size_t>(table.ImageLength(), table.UnitImage.size()) + kUnitPadding + 4;
  for (const TPhrase& p : table.Phrases)
    if ((p.Flags & pfOn) && !(p.Flags & pfLink) && table.HasEditedText(p))
      room += table.EditedTexts[static_cast<size_t>(p.EditIndex)].size() + 3;
  TMemoryStream unit;
  unit.Data().reserve(room);
  BuildUnit(table, unit);
  return std::move(unit.Data());
}

int64_t SaveBin(const PhraseTable& table, const std::string& path, const StatusCallback& status) {
  TAtomicFile file(path);  // raises before any status text when it cannot be created
  if (status) status(kCreatingBinText);
  try {
    file.Stream().SetPosition(0);
    const int64_t count = BuildUnit(table, file.Stream());
    file.Commit();
    if (status) status(kBinCompleteText);
    return count;
  } catch (...) {
    if (status) status(kBinCompleteText);
    throw;
  }
}

}  // namespace velmora
