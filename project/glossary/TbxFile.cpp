// TBX glossaries: TBX 2 (martif: termEntry, langSet, tig, ntig/termGrp)
// and TBX 3 (tbx: conceptEntry, langSec, termSec), read with the refusals
// of every XML file a user hands over.
#include <algorithm>
#include <pugixml.hpp>

#include "container/io/StreamErrors.h"
#include "project/glossary/Glossary.h"
#include "project/text/LanguageTags.h"
#include "project/xml/XmlInput.h"

namespace velmora {

namespace {

bool Is(pugi::xml_node n, std::initializer_list<std::string_view> names) {
  if (n.type() != pugi::node_element) return false;
  const std::string_view name = LocalName(n.name());
  return std::find(names.begin(), names.end(), name) != names.end();
}

std::string Trimmed(std::string s) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  while (!s.empty() && blank(s.back())) s.pop_back();
  size_t i = 0;
  while (i < s.size() && blank(s[i])) ++i;
  return s.substr(i);
}

bool ForbiddenStatus(std::string status) {
  for (char& c : status)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  for (const char* word : {"forbidden", "deprecated", "superseded", "notrecommended"})
    if (status.find(word) != std::string::npos) return true;
  return false;
}

// The next node after n in document order within root, without recursion;
// with skip, n's own children are stepped over.
pugi::xml_node NextIn(pugi::xml_node root, pugi::xml_node n, bool skip = false) {
  if (!skip && n.first_child()) return n.first_child();
  while (n != root && !n.next_sibling()) n = n.parent();
  return n == root ? pugi::xml_node() : n.next_sibling();
}

struct LangTerms {
  std::string Language;
  std::vector<std::string> Allowed;
  std::vector<std::string> Forbidden;
};

class TbxReader {
 public:
  explicit TbxReader(std::string_view bytes) : in_(bytes) {}

  Glossary Read(const GlossaryLanguages& languages) {
    pugi::xml_document doc;
    in_.Parse(doc, 0, in_.Text().size(), XmlRules{true, 0});
    const pugi::xml_node root = doc.document_element();
    if (!Is(root, {"martif", "tbx"}))
      in_.Fail(in_.Line(root), "not a TBX file: the root element is <" + std::string(root.name()) + ">");
    // Every entry with its terms by language.
    std::vector<std::pair<size_t, std::vector<LangTerms>>> entries;
    std::vector<std::string> seen;  // languages, in order
    for (pugi::xml_node n = root.first_child(); n;) {
      if (!Is(n, {"termEntry", "conceptEntry"})) {
        n = NextIn(root, n);
        continue;
      }
      std::vector<LangTerms> langs;
      for (pugi::xml_node ls = n.first_child(); ls; ls = ls.next_sibling()) {
        if (!Is(ls, {"langSet", "langSec"})) continue;
        LangTerms lt;
        lt.Language = Attribute(ls, "xml:lang");
        if (lt.Language.empty()) lt.Language = Attribute(ls, "lang");
        if (lt.Language.empty()) in_.Fail(in_.Line(ls), "a <" + std::string(ls.name()) + "> without xml:lang");
        ReadTerms(ls, lt);
        if (std::none_of(seen.begin(), seen.end(), [&](const std::string& l) { return l == lt.Language; }))
          seen.push_back(lt.Language);
        langs.push_back(std::move(lt));
      }
      entries.emplace_back(in_.Line(n), std::move(langs));
      n = NextIn(root, n, true);
    }

    Glossary g;
    g.SourceLanguage = languages.Source;
    g.TargetLanguage =
        languages.Target.empty() ? OtherLanguage(seen, languages.Source, in_.Line(root)) : languages.Target;
    for (auto& [line, langs] : entries) {
      GlossaryEntry e;
      e.Line = line;
      for (LangTerms& lt : langs) {
        if (LanguageFits(g.SourceLanguage, lt.Language)) {
          e.Sources.insert(e.Sources.end(), lt.Allowed.begin(), lt.Allowed.end());
        } else if (LanguageFits(g.TargetLanguage, lt.Language)) {
          e.Targets.insert(e.Targets.end(), lt.Allowed.begin(), lt.Allowed.end());
          e.Forbidden.insert(e.Forbidden.end(), lt.Forbidden.begin(), lt.Forbidden.end());
        }
      }
      if (!e.Sources.empty() || !e.Forbidden.empty()) g.Entries.push_back(std::move(e));
    }
    return g;
  }

 private:
  std::string Attribute(pugi::xml_node n, const char* name) {
    const pugi::xml_attribute a = n.attribute(name);
    return a ? in_.Unescaped(a.value(), n) : std::string();
  }

  // The terms of a language: each term container (tig, ntig, termSec) holds
  // a term and, perhaps, its status.
  void ReadTerms(pugi::xml_node langSet, LangTerms& out) {
    for (pugi::xml_node c = langSet.first_child(); c; c = c.next_sibling()) {
      if (!Is(c, {"tig", "ntig", "termSec"})) continue;
      std::vector<std::string> terms;
      bool forbidden = false;
      for (pugi::xml_node n = c.first_child(); n;) {
        if (Is(n, {"term"})) {
          if (std::string t = Trimmed(in_.AllText(n)); !t.empty()) terms.push_back(std::move(t));
          n = NextIn(c, n, true);
          continue;
        }
        if (Is(n, {"termNote", "descrip"})) {
          const std::string type = Attribute(n, "type");
          if ((type == "administrativeStatus" || type == "normativeAuthorization") && ForbiddenStatus(in_.AllText(n)))
            forbidden = true;
          n = NextIn(c, n, true);
          continue;
        }
        n = NextIn(c, n);
      }
      auto& list = forbidden ? out.Forbidden : out.Allowed;
      list.insert(list.end(), terms.begin(), terms.end());
    }
  }

  // The one language besides the source's.
  std::string OtherLanguage(const std::vector<std::string>& seen, const std::string& source, size_t line) {
    std::vector<std::string> others;
    for (const std::string& l : seen)
      if (!LanguageFits(source, l)) others.push_back(l);
    if (others.size() == 1) return others[0];
    if (others.empty()) in_.Fail(line, "the glossary has no terms in a language other than " + source);
    std::string list;
    for (const std::string& l : others) list += (list.empty() ? "" : ", ") + l;
    in_.Fail(line, "the glossary has terms in several languages besides " + source + " (" + list +
                       "): name the language of the translations");
  }

  XmlInput in_;
};

}  // namespace

Glossary ReadTbx(std::string_view bytes, const GlossaryLanguages& languages) {
  return TbxReader(bytes).Read(languages);
}

}  // namespace velmora
