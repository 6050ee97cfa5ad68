#include "project/text/LanguageTags.h"

#include <array>
#include <cstdlib>
#include <utility>

namespace velmora {

namespace {

// gettext's modifiers for scripts, and the scripts they stand for.
constexpr std::array<std::pair<std::string_view, std::string_view>, 4> kScriptModifiers{{
    {"latin", "Latn"},
    {"cyrillic", "Cyrl"},
    {"devanagari", "Deva"},
    {"arabic", "Arab"},
}};

bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool All(std::string_view s, bool (*pred)(char)) {
  for (const char c : s)
    if (!pred(c)) return false;
  return true;
}
bool IsAlnum(char c) { return IsAlpha(c) || IsDigit(c); }

std::string Lowered(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = Lower(c);
  return out;
}

bool IsVariant(std::string_view s) {
  if (s.size() >= 5 && s.size() <= 8) return All(s, IsAlnum);
  return s.size() == 4 && IsDigit(s[0]) && All(s, IsAlnum);
}

}  // namespace

std::string LanguageTag::Bcp47() const {
  std::string out = Language;
  if (!Script.empty()) out.append("-").append(Script);
  if (!Region.empty()) out.append("-").append(Region);
  for (const std::string& v : Variants) out.append("-").append(v);
  return out;
}

std::string LanguageTag::Gettext() const {
  std::string out = Language;
  std::string modifier;
  for (const auto& [name, script] : kScriptModifiers)
    if (Script == script) modifier = name;
  if (!Script.empty() && modifier.empty()) out.append("_").append(Script);
  if (!Region.empty()) out.append("_").append(Region);
  // gettext has room for one modifier: the script's, else the first variant.
  if (modifier.empty() && !Variants.empty()) modifier = Variants.front();
  if (!modifier.empty()) out.append("@").append(modifier);
  return out;
}

std::optional<LanguageTag> ParseLanguageTag(std::string_view code) {
  std::string_view modifier;
  if (const size_t at = code.find('@'); at != std::string_view::npos) {
    modifier = code.substr(at + 1);
    code = code.substr(0, at);
  }
  if (const size_t dot = code.find('.'); dot != std::string_view::npos) code = code.substr(0, dot);

  std::vector<std::string_view> parts;
  size_t start = 0;
  for (;;) {
    const size_t sep = code.find_first_of("-_", start);
    parts.push_back(code.substr(start, sep == std::string_view::npos ? std::string_view::npos : sep - start));
    if (sep == std::string_view::npos) break;
    start = sep + 1;
  }

  LanguageTag tag;
  size_t i = 0;
  if (parts[0].size() < 2 || parts[0].size() > 3 || !All(parts[0], IsAlpha)) return std::nullopt;
  tag.Language = Lowered(parts[i++]);
  if (i < parts.size() && parts[i].size() == 4 && All(parts[i], IsAlpha)) {
    tag.Script = Lowered(parts[i++]);
    tag.Script[0] = Upper(tag.Script[0]);
  }
  if (i < parts.size() && ((parts[i].size() == 2 && All(parts[i], IsAlpha)) ||
                           (parts[i].size() == 3 && All(parts[i], IsDigit)))) {
    for (const char c : parts[i++]) tag.Region += Upper(c);
  }
  for (; i < parts.size(); ++i) {
    if (!IsVariant(parts[i])) return std::nullopt;
    tag.Variants.push_back(Lowered(parts[i]));
  }

  if (!modifier.empty()) {
    const std::string m = Lowered(modifier);
    bool known = false;
    for (const auto& [name, script] : kScriptModifiers) {
      if (m != name) continue;
      known = true;
      if (!tag.Script.empty() && tag.Script != script) return std::nullopt;
      tag.Script = script;
    }
    if (!known && m != "euro") {
      if (!IsVariant(m)) return std::nullopt;
      tag.Variants.push_back(m);
    }
  }
  return tag;
}

std::optional<LanguageTag> LocaleLanguage() {
  for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* v = std::getenv(var);
    if (!v || !*v) continue;
    const std::string_view name(v);
    if (name == "C" || name == "POSIX" || name.rfind("C.", 0) == 0) return std::nullopt;
    return ParseLanguageTag(name);
  }
  return std::nullopt;
}

LanguageTag SourceLanguageFor(CodePage page) {
  LanguageTag tag;
  tag.Language = IconvCharset(page) == "CP932" ? "ja" : "en";
  return tag;
}

std::string ComparableLanguageTag(std::string_view tag) {
  std::string out(tag);
  for (char& c : out) {
    if (c == '_') c = '-';
    else if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool LanguageFits(std::string_view asked, std::string_view named) {
  const std::string a = ComparableLanguageTag(asked), n = ComparableLanguageTag(named);
  const auto under = [](const std::string& longer, const std::string& shorter) {
    return longer.size() > shorter.size() && longer.compare(0, shorter.size(), shorter) == 0 &&
           longer[shorter.size()] == '-';
  };
  return a == n || under(a, n) || under(n, a);
}

}  // namespace velmora
