// A phrase table built by hand for tests: each phrase's text is laid out in
// the image after a 128-byte header and its pointer word after the header
// leads to it, as in a unit; link records repeat their master's string.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/PhraseTable.h"
#include "container/io/ByteOrder.h"

namespace velmora::test {

// Builds a phrase table: each phrase's text is laid out in the image after
// a 128-byte header; link records repeat their master's string.
class TableBuilder {
 public:
  // Adds a phrase; edited: its edited text (ON is not set by this).
  TableBuilder& Add(const std::string& text, uint16_t flags = 0, std::optional<std::string> edited = std::nullopt) {
    Item it;
    it.Text = text;
    it.Flags = flags;
    it.Edited = std::move(edited);
    items_.push_back(std::move(it));
    return *this;
  }
  TableBuilder& AddLink(int master) {
    Item it;
    it.Master = master;
    items_.push_back(std::move(it));
    return *this;
  }
  TableBuilder& Names(std::string name, std::string tag) {
    name_ = std::move(name);
    tag_ = std::move(tag);
    return *this;
  }

  void Fill(PhraseTable& t) const {
    t.Reset();
    t.UnitImage.assign(128 + 4 * items_.size(), 0);
    for (size_t i = 0; i < items_.size(); ++i) {
      const Item& it = items_[i];
      TPhrase p;
      p.LinkAddress = static_cast<uint32_t>(128 + 4 * i);
      if (it.Master >= 0) {
        const TPhrase& m = t.Phrases[static_cast<size_t>(it.Master)];
        p.StringAddress = m.StringAddress;
        p.Length = m.Length;
        p.Flags = pfLink;
        p.MasterIndex = static_cast<int16_t>(it.Master);
      } else {
        p.StringAddress = static_cast<uint32_t>(t.UnitImage.size());
        p.Length = static_cast<uint16_t>(it.Text.size());
        p.Flags = it.Flags;
        t.UnitImage.insert(t.UnitImage.end(), it.Text.begin(), it.Text.end());
        t.UnitImage.push_back(0);
      }
      t.Phrases.push_back(p);
      if (it.Edited) {
        t.EditedTexts.push_back(*it.Edited);
        t.Phrases.back().EditIndex = static_cast<int16_t>(t.EditedTexts.size() - 1);
      }
    }
    while (t.UnitImage.size() % 16 != 0 || t.UnitImage.size() < 256) t.UnitImage.push_back(0);
    // BaseAddress 0: a pointer's value is its string's offset.
    for (const TPhrase& p : t.Phrases) StoreBE32(t.UnitImage.MutableData() + p.LinkAddress, p.StringAddress);
    t.Info = ProjectInfo{};
    t.Info.UnitSize = static_cast<uint32_t>(t.UnitImage.size());
    t.Info.SourceSize = t.Info.UnitSize;
    t.UnitName = name_;
    t.UnitTag = tag_;
    t.StoreNamesInInfo();
  }

 private:
  struct Item {
    std::string Text;
    uint16_t Flags = 0;
    std::optional<std::string> Edited;
    int Master = -1;
  };
  std::vector<Item> items_;
  std::string name_ = "APM";
  std::string tag_ = "TAG1";
};

}  // namespace velmora::test
