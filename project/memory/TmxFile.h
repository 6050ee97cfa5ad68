// Translation memories as TMX 1.4b files. Velmora writes level 1: a header
// naming the tool, the source language, segtype "phrase" and datatype
// "plaintext", and one <tu> per source text and translation, with a <tuv>
// and <seg> for each language. What only Velmora knows about a
// translation goes in <prop type="x-velmora-..."> elements: the code page
// of the unit's texts, whether the translation was switched on
// ("translated") or left for review, and each place it comes from (unit,
// phrase index and room in bytes). A prop of the header holds for every
// unit of the file.
//
// Velmora reads any TMX 1.4b file (levels 1 and 2), such as OmegaT's and
// translate-toolkit's: the text of inline codes (<bpt>, <ept>, <ph>, <it>,
// <hi>, <sub>) is read as text, an empty code gives nothing. Files are read
// a piece at a time (project/xml/XmlPieces.h) with the refusals of every
// XML file a user hands over (project/xml/XmlInput.h); a DOCTYPE that names
// the TMX DTD is allowed, as TMX files customarily have one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velmora {

// The props Velmora writes and reads.
inline constexpr std::string_view kTmxCodePageProp = "x-velmora-code-page";
inline constexpr std::string_view kTmxStateProp = "x-velmora-state";
inline constexpr std::string_view kTmxUnitProp = "x-velmora-unit";
inline constexpr std::string_view kTmxIndexProp = "x-velmora-index";
inline constexpr std::string_view kTmxRoomProp = "x-velmora-room";
// The values of the state prop.
inline constexpr std::string_view kTmxTranslated = "translated";
inline constexpr std::string_view kTmxReview = "review";

// The largest memory file read, as large as any phrase file.
constexpr uint64_t kMaxMemoryFileBytes = 64ull << 20;
// "a memory file may hold at most 64 MB".
std::string MemoryFileLimitText();

// One place a translation comes from.
struct TmxPlace {
  std::string Unit;    // "NAME_TAG"
  int64_t Index = -1;  // the phrase
  int64_t Room = -1;   // bytes the translation may take in place
  bool operator==(const TmxPlace&) const = default;
};

struct TmxVariant {
  std::string Language;  // xml:lang as written
  std::string Text;      // the segment, UTF-8
  bool operator==(const TmxVariant&) const = default;
};

struct TmxUnit {
  std::string SourceLanguage;  // the <tu>'s srclang, else the header's
  std::vector<TmxVariant> Variants;
  // Velmora's props, the header's where the unit has none of its own.
  std::string CodePage;          // "CP1252"
  bool Review = false;           // state "review"
  std::vector<TmxPlace> Places;  // in the order written
  size_t Line = 0;               // where the <tu> begins
  bool operator==(const TmxUnit& o) const {
    return SourceLanguage == o.SourceLanguage && Variants == o.Variants && CodePage == o.CodePage &&
           Review == o.Review && Places == o.Places;
  }
};

struct TmxHeader {
  std::string SourceLanguage;  // srclang: a language, or "*all*"
  std::string CreationTool;
  std::string CreationToolVersion;
  // Velmora's props that hold for every unit that has none of its own.
  std::string CodePage;
  std::string Unit;
  std::string State;  // kTmxTranslated or kTmxReview; empty: none
};

// The file, UTF-8. The header's props are written once, in the header,
// and a unit's only where they differ from it.
std::string WriteTmx(const TmxHeader& header, const std::vector<TmxUnit>& units);

// Reads a TMX file (UTF-8, or UTF-16 with a byte-order mark) and hands each
// <tu> to unit, in file order, with the header's props filled in. Raises
// EFormatError "line N: ..." for a file that is not well-formed XML or not
// TMX, for the refusals of XmlInput, for a <tuv> without a language or a
// <seg>, and for a Velmora prop whose number does not read.
TmxHeader ReadTmx(std::string_view bytes, const std::function<void(TmxUnit&&)>& unit);

}  // namespace velmora
