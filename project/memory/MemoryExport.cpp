#include "project/memory/MemoryExport.h"

#include <unordered_map>

#include "analysis/UnitText.h"
#include "project/text/CodePageChoice.h"
#include "project/text/LanguageTags.h"

namespace velmora {

MemoryExport CollectMemory(const std::vector<MemorySource>& sources, const MemoryExportOptions& options) {
  MemoryExport out;
  out.Header.SourceLanguage = options.SourceLanguage;
  std::unordered_map<std::string, size_t> unitOf;  // source, translation and code page -> unit
  for (const MemorySource& src : sources) {
    const PhraseTable& t = *src.Table;
    const CodePage page = ConcreteCodePage(src.Page);
    const std::string charset = IconvCharset(page);
    const std::string sourceLanguage =
        options.SourceLanguage.empty() ? SourceLanguageFor(page).Bcp47() : options.SourceLanguage;
    if (out.Header.SourceLanguage.empty()) out.Header.SourceLanguage = sourceLanguage;
    TCodePageDecoder decoder(page);
    for (size_t i = 0; i < t.Phrases.size(); ++i) {
      const TPhrase& p = t.Phrases[i];
      if ((p.Flags & pfLink) || !t.HasEditedText(p)) continue;
      const bool on = (p.Flags & pfOn) != 0;
      if (!on && !options.All) continue;
      std::string source = decoder.Decode(t.OriginText(p));
      std::string target = decoder.Decode(t.EditedText(p));
      if (source.empty() || target.empty()) continue;
      std::string key = source;
      key.append(1, '\0').append(target).append(1, '\0').append(charset);
      auto [it, fresh] = unitOf.emplace(std::move(key), out.Units.size());
      if (fresh) {
        TmxUnit u;
        u.SourceLanguage = sourceLanguage;
        u.Variants = {{sourceLanguage, std::move(source)}, {options.Language, std::move(target)}};
        u.CodePage = charset;
        u.Review = true;
        out.Units.push_back(std::move(u));
      }
      TmxUnit& u = out.Units[it->second];
      u.Review = u.Review && !on;  // switched on in one place is enough
      u.Places.push_back({t.UnitTitle(), static_cast<int64_t>(i), static_cast<int64_t>(RoomInPlace(p.Length))});
      ++out.Translations;
    }
  }
  // What every unit shares goes in the header once.
  if (!out.Units.empty()) {
    out.Header.CodePage = out.Units[0].CodePage;
    out.Header.Unit = out.Units[0].Places[0].Unit;
    out.Header.State = std::string(kTmxTranslated);
  }
  for (const TmxUnit& u : out.Units) {
    if (u.CodePage != out.Header.CodePage) out.Header.CodePage.clear();
    for (const TmxPlace& p : u.Places)
      if (p.Unit != out.Header.Unit) out.Header.Unit.clear();
  }
  return out;
}

}  // namespace velmora
