// Whether a translation from a memory can go into the unit, and how: its
// text in the unit's code page, measured as a build writes it, against the
// room of the phrase it would replace.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/PhraseTable.h"
#include "project/text/CodePages.h"

namespace velmora {

enum class ByteFit : uint8_t {
  InPlace,     // fits the room of the text it replaces
  Relocated,   // longer: a build moves it to the area appended to the unit
  TooLong,     // longer than a project's text may be
  Unwritable,  // holds a character the code page has not
};
// "in place", "relocated", "too long", "cannot be written".
std::string_view ByteFitName(ByteFit fit);

struct FitResult {
  ByteFit Fit = ByteFit::InPlace;
  std::string Bytes;    // the translation in the code page; empty when it cannot be written
  uint32_t Size = 0;    // the bytes a build writes for it (PrepareText)
  uint32_t Room = 0;    // the bytes it may take in place
  std::string Problem;  // why it is too long or cannot be written
};

// Encodes the translation (UTF-8) with the encoder of the project's code
// page and measures it against the phrase's room.
FitResult FitInUnit(std::string_view translation, const TPhrase& phrase, TCodePageEncoder& encoder);

}  // namespace velmora
