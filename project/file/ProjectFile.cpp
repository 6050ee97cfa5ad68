#include "project/file/ProjectFile.h"

#include <cstring>
#include <stdexcept>
#include <vector>

#include "container/io/AtomicFile.h"
#include "container/io/ByteOrder.h"
#include "container/io/Stream.h"
#include "container/io/StreamErrors.h"

namespace velmora {

namespace {

constexpr size_t kInfoSize = 64;
constexpr size_t kRecordSize = 16;
constexpr uint16_t kKnownFlags = pfHide | pfOn | pfLink;

void EncodeInfo(const ProjectInfo& info, uint8_t* out) {
  std::memset(out, 0, kInfoSize);
  StoreLE32(out + 0, static_cast<uint32_t>(info.InfoSize));
  StoreLE32(out + 4, static_cast<uint32_t>(info.MakerIndex));
  StoreLE32(out + 8, static_cast<uint32_t>(info.ModuleIndex));
  StoreLE32(out + 12, static_cast<uint32_t>(info.UnitIndex));
  StoreLE32(out + 16, info.UnitOffset);
  StoreLE32(out + 20, info.SourceSize);
  std::memcpy(out + 24, info.UnitTag, 8);
  std::memcpy(out + 32, info.UnitName, 8);
  StoreLE32(out + 40, info.BaseAddress);
  StoreLE32(out + 44, info.UnitSize);
  StoreLE32(out + 48, info.UnitChecksum);
  StoreLE32(out + 52, static_cast<uint32_t>(info.PhraseCount));
  StoreLE32(out + 56, static_cast<uint32_t>(info.TextCount));
  StoreLE32(out + 60, static_cast<uint32_t>(info.SourcePathLength));
}

ProjectInfo DecodeInfo(const uint8_t* in) {
  ProjectInfo info;
  info.InfoSize = static_cast<int32_t>(LoadLE32(in + 0));
  info.MakerIndex = static_cast<int32_t>(LoadLE32(in + 4));
  info.ModuleIndex = static_cast<int32_t>(LoadLE32(in + 8));
  info.UnitIndex = static_cast<int32_t>(LoadLE32(in + 12));
  info.UnitOffset = LoadLE32(in + 16);
  info.SourceSize = LoadLE32(in + 20);
  std::memcpy(info.UnitTag, in + 24, 8);
  std::memcpy(info.UnitName, in + 32, 8);
  info.BaseAddress = LoadLE32(in + 40);
  info.UnitSize = LoadLE32(in + 44);
  info.UnitChecksum = LoadLE32(in + 48);
  info.PhraseCount = static_cast<int32_t>(LoadLE32(in + 52));
  info.TextCount = static_cast<int32_t>(LoadLE32(in + 56));
  info.SourcePathLength = static_cast<int32_t>(LoadLE32(in + 60));
  return info;
}

void EncodeRecord(const TPhrase& p, uint8_t* out) {
  StoreLE32(out + 0, p.LinkAddress);
  StoreLE32(out + 4, p.StringAddress);
  StoreLE16(out + 8, p.Length);
  StoreLE16(out + 10, p.Flags);
  StoreLE16(out + 12, static_cast<uint16_t>(p.EditIndex));
  StoreLE16(out + 14, static_cast<uint16_t>(p.MasterIndex));
}

TPhrase DecodeRecord(const uint8_t* in) {
  TPhrase p;
  p.LinkAddress = LoadLE32(in + 0);
  p.StringAddress = LoadLE32(in + 4);
  p.Length = LoadLE16(in + 8);
  p.Flags = LoadLE16(in + 10);
  p.EditIndex = static_cast<int16_t>(LoadLE16(in + 12));
  p.MasterIndex = static_cast<int16_t>(LoadLE16(in + 14));
  return p;
}

// Hands out the bytes of the file's last sections through one fixed
// buffer, so each edited text is copied once, from the file into its string.
class SectionReader {
 public:
  SectionReader(TStream& file, uint64_t remaining) : file_(file), remaining_(remaining) {}

  uint64_t Remaining() const { return remaining_ + (end_ - pos_); }

  // Copies n bytes into out; false when fewer remain.
  bool Take(char* out, size_t n) {
    if (n > Remaining()) return false;
    while (n > 0) {
      if (pos_ == end_) Refill();
      const size_t k = std::min(n, end_ - pos_);
      std::memcpy(out, buffer_.data() + pos_, k);
      pos_ += k;
      out += k;
      n -= k;
    }
    return true;
  }

 private:
  void Refill() {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(remaining_, buffer_.size()));
    file_.ReadBuffer(buffer_.data(), n);
    remaining_ -= n;
    pos_ = 0;
    end_ = n;
  }

  TStream& file_;
  uint64_t remaining_;
  std::vector<char> buffer_ = std::vector<char>(size_t{1} << 16);
  size_t pos_ = 0;
  size_t end_ = 0;
};

[[noreturn]] void Damaged(const std::string& path, const std::string& what) {
  throw EFormatError("The project file \"" + path + "\" is damaged: " + what + ".");
}

// Checks every record against the image length, the text count and the
// records before it.
void CheckRecords(const std::string& path, const std::vector<TPhrase>& records, uint32_t imageLength,
                  int32_t textCount) {
  for (size_t i = 0; i < records.size(); ++i) {
    const TPhrase& p = records[i];
    const std::string rec = "record " + std::to_string(i);
    if (p.Flags & ~kKnownFlags) Damaged(path, rec + " has unknown flag bits");
    if (uint64_t{p.LinkAddress} + 4 > imageLength) Damaged(path, rec + " has its pointer outside the unit image");
    if (uint64_t{p.StringAddress} + p.Length > imageLength)
      Damaged(path, rec + " has its string outside the unit image");
    if (p.EditIndex < -1 || p.EditIndex >= textCount)
      Damaged(path, rec + " names edited text " + std::to_string(p.EditIndex) + " of " + std::to_string(textCount));
    if (p.Flags & pfLink) {
      if (p.MasterIndex < 0 || static_cast<size_t>(p.MasterIndex) >= i ||
          (records[static_cast<size_t>(p.MasterIndex)].Flags & pfLink))
        Damaged(path, rec + " is a link record without an earlier phrase as its master");
      if (p.EditIndex != -1) Damaged(path, rec + " is a link record with an edited text");
    } else if (p.MasterIndex != -1) {
      Damaged(path, rec + " names a master but is not a link record");
    }
  }
}

void LoadInto(PhraseTable& table, const std::string& path) {
  TFileStream file(path, TFileStream::Mode::OpenRead);
  const uint64_t fileSize = static_cast<uint64_t>(file.Size());

  // Section 1.
  if (fileSize < kInfoSize) Damaged(path, "it ends inside its first 64 bytes");
  uint8_t head[kInfoSize];
  file.ReadBuffer(head, kInfoSize);
  ProjectInfo info = DecodeInfo(head);
  info.InfoSize = static_cast<int32_t>(kInfoSize);
  if (info.PhraseCount < 0 || info.TextCount < 0 || info.SourcePathLength < 0)
    Damaged(path, "a count in its first 64 bytes is negative");
  const uint32_t imageLength = std::min(info.UnitSize, info.SourceSize);

  // The counts must fit the file's length before anything is allocated.
  const uint64_t recordsEnd = kInfoSize + uint64_t{static_cast<uint32_t>(info.PhraseCount)} * kRecordSize;
  if (recordsEnd > fileSize) Damaged(path, "it ends inside its phrase records");
  if (recordsEnd + imageLength > fileSize)  // ends inside the unit image
    throw EReadError(path, "the file ends at byte " + std::to_string(fileSize) + ", before byte " +
                               std::to_string(recordsEnd + imageLength));
  const uint64_t restSize = fileSize - recordsEnd - imageLength;
  if (uint64_t{static_cast<uint32_t>(info.TextCount)} * 2 + static_cast<uint32_t>(info.SourcePathLength) > restSize)
    Damaged(path, "it ends inside its edited texts or source path");
  if (static_cast<size_t>(info.TextCount) > kMaxEditedTexts)
    Damaged(path, "it lists " + std::to_string(info.TextCount) + " edited texts, more than the 32768 a project can name");

  // Section 2: read into the records' own storage, each as long as its
  // stored form, and decoded from the file's byte order in place.
  std::vector<TPhrase> records(static_cast<size_t>(info.PhraseCount));
  file.ReadBuffer(records.data(), records.size() * kRecordSize);
  for (TPhrase& p : records) p = DecodeRecord(reinterpret_cast<const uint8_t*>(&p));
  CheckRecords(path, records, imageLength, info.TextCount);

  // Section 3: mapped, not read (see analysis/UnitBytes.h).
  UnitBytes image = ReadUnitBytes(file, static_cast<int64_t>(recordsEnd), imageLength);
  file.SetPosition(static_cast<int64_t>(recordsEnd + imageLength));

  // Sections 4 and 5.
  SectionReader rest(file, restSize);
  std::vector<std::string> texts(static_cast<size_t>(info.TextCount));
  for (std::string& text : texts) {
    char len[2];
    if (!rest.Take(len, 2)) Damaged(path, "it ends inside its edited texts");
    text.resize(LoadLE16(reinterpret_cast<const uint8_t*>(len)));
    if (!rest.Take(text.data(), text.size())) Damaged(path, "it ends inside its edited texts");
  }
  std::string sourcePath(static_cast<size_t>(info.SourcePathLength), '\0');
  if (!rest.Take(sourcePath.data(), sourcePath.size())) Damaged(path, "it ends inside its source path");
  if (rest.Remaining() != 0) Damaged(path, std::to_string(rest.Remaining()) + " bytes follow its source path");

  // Everything checked: fill the table.
  table.Info = info;
  table.LoadNamesFromInfo();
  table.Phrases = std::move(records);
  table.UnitImage = std::move(image);
  table.EditedTexts = std::move(texts);
  table.SourcePath = std::move(sourcePath);
}

// A text too long for its 16-bit length is refused by the phrase that
// shows it; one that no phrase shows any more is dropped with the other
// unused texts (the project then has nothing left that cannot be saved).
void CheckEditedTextLengths(PhraseTable& table) {
  bool unusedTooLong = false;
  for (size_t i = 0; i < table.EditedTexts.size(); ++i) {
    if (table.EditedTexts[i].size() <= kMaxEditedTextLength) continue;
    for (size_t k = 0; k < table.Phrases.size(); ++k)
      if (table.Phrases[k].EditIndex == static_cast<int32_t>(i))
        throw std::runtime_error("The project cannot be saved: the edited text of phrase " + std::to_string(k) +
                                 " is " + std::to_string(table.EditedTexts[i].size()) +
                                 " bytes long; a project keeps at most 65535 bytes per text.");
    unusedTooLong = true;
  }
  if (unusedTooLong) table.DropUnusedEditedTexts();
}

}  // namespace

void SaveProject(PhraseTable& table, const std::string& path) {
  const uint32_t imageLength = table.ImageLength();
  if (table.UnitImage.size() != imageLength)
    throw std::runtime_error("The project cannot be saved: its unit image holds " +
                             std::to_string(table.UnitImage.size()) + " bytes instead of " +
                             std::to_string(imageLength) + ".");
  CheckEditedTextLengths(table);
  if (table.Phrases.size() > 0x7FFFFFFF || table.EditedTexts.size() > 0x7FFFFFFF ||
      table.SourcePath.size() > 0x7FFFFFFF)
    throw std::runtime_error("The project cannot be saved: it is too large for a project file.");

  ProjectInfo& info = table.Info;
  info.InfoSize = static_cast<int32_t>(kInfoSize);
  table.StoreNamesInInfo();
  info.PhraseCount = static_cast<int32_t>(table.Phrases.size());
  info.TextCount = static_cast<int32_t>(table.EditedTexts.size());
  info.SourcePathLength = static_cast<int32_t>(table.SourcePath.size());

  TAtomicFile out(path);
  TStream& s = out.Stream();

  uint8_t head[kInfoSize];
  EncodeInfo(info, head);
  s.WriteBuffer(head, sizeof head);

  {
    std::vector<uint8_t> raw(table.Phrases.size() * kRecordSize);
    for (size_t i = 0; i < table.Phrases.size(); ++i) EncodeRecord(table.Phrases[i], raw.data() + i * kRecordSize);
    s.WriteBuffer(raw.data(), raw.size());
  }

  table.UnitImage.WriteTo(s, 0, imageLength);

  {
    std::vector<uint8_t> raw;
    size_t total = 0;
    for (const auto& t : table.EditedTexts) total += 2 + t.size();
    raw.reserve(total);
    for (const auto& t : table.EditedTexts) {
      uint8_t len[2];
      StoreLE16(len, static_cast<uint16_t>(t.size()));
      raw.insert(raw.end(), len, len + 2);
      raw.insert(raw.end(), t.begin(), t.end());
    }
    s.WriteBuffer(raw.data(), raw.size());
  }

  s.WriteBuffer(table.SourcePath.data(), table.SourcePath.size());
  out.Commit();
}

void OpenProject(PhraseTable& table, const std::string& path) {
  table.Reset();
  try {
    LoadInto(table, path);
  } catch (...) {
    // No project is left open after a refusal.
    table.Reset();
    table.Info = ProjectInfo{};
    table.UnitTag.clear();
    table.UnitName.clear();
    table.SourcePath.clear();
    throw;
  }
}

}  // namespace velmora
