// Fuzzes the text import on any bytes: the input is imported into a small
// project of phrases and link records. Afterwards every phrase names an
// existing edited text or none, link records have none, the flags are as
// they were, and the count equals the entries attached.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "FuzzChecks.h"
#include "container/io/StreamErrors.h"
#include "project/exchange/TextExchange.h"

using namespace velmora;

namespace {

// Twelve phrases with a link record after every third, over a 1 KB unit.
PhraseTable SmallProject() {
  PhraseTable t;
  t.Info.UnitSize = t.Info.SourceSize = 1024;
  t.UnitImage.assign(1024, 0);
  uint32_t link = 0x80, text = 0x200;
  for (int16_t i = 0; i < 12; ++i) {
    std::memcpy(t.UnitImage.MutableData() + text, "Phrase", 6);
    t.Phrases.push_back({link, text, 6, static_cast<uint16_t>(i % 2 ? pfHide : 0), -1, -1});
    link += 4;
    if (i % 3 == 2) {
      const auto master = static_cast<int16_t>(t.Phrases.size() - 1);
      t.Phrases.push_back({link, text, 6, pfLink, -1, master});
      link += 4;
    }
    text += 8;
  }
  return t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const PhraseTable kProject = SmallProject();
  PhraseTable t = kProject;
  int count = 0;
  bool stopped = false;
  try {
    count = ImportPhrases(t, std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const EConvertError&) {
    stopped = true;  // an index beyond 32 bits; what came before stays
  } catch (const velmora::ERefusal&) {
    stopped = true;  // a text too long for a project
  }
  fuzz::Check(count >= 0);
  // Each attached entry is one new text (until the positions run out and
  // unused texts are dropped).
  fuzz::Check(stopped || static_cast<size_t>(count) >= kMaxEditedTexts || static_cast<size_t>(count) == t.EditedTexts.size());
  for (size_t i = 0; i < t.Phrases.size(); ++i) {
    const TPhrase& p = t.Phrases[i];
    fuzz::Check(p.Flags == kProject.Phrases[i].Flags);
    fuzz::Check(p.EditIndex >= -1 && (p.EditIndex < 0 || static_cast<size_t>(p.EditIndex) < t.EditedTexts.size()));
    if (p.Flags & pfLink) fuzz::Check(p.EditIndex == -1);
  }
  for (const auto& text : t.EditedTexts) fuzz::Check(!text.empty() && text.find('\0') == std::string::npos);
  return 0;
}
