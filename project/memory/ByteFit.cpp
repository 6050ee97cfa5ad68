#include "project/memory/ByteFit.h"

#include "analysis/UnitText.h"

namespace velmora {

std::string_view ByteFitName(ByteFit fit) {
  switch (fit) {
    case ByteFit::InPlace:
      return "in place";
    case ByteFit::Relocated:
      return "relocated";
    case ByteFit::TooLong:
      return "too long";
    case ByteFit::Unwritable:
      return "cannot be written";
  }
  return "cannot be written";
}

FitResult FitInUnit(std::string_view translation, const TPhrase& phrase, TCodePageEncoder& encoder) {
  FitResult r;
  r.Room = RoomInPlace(phrase.Length);
  TCodePageEncoder::Failure failure;
  std::optional<std::string> bytes = encoder.Encode(translation, &failure);
  if (!bytes) {
    r.Fit = ByteFit::Unwritable;
    r.Problem = failure.Message;
    return r;
  }
  if (bytes->find('\0') != std::string::npos) {
    r.Fit = ByteFit::Unwritable;
    r.Problem = "The text holds a NUL, which would end it early in the unit";
    return r;
  }
  r.Bytes = std::move(*bytes);
  r.Size = static_cast<uint32_t>(std::min<size_t>(PrepareText(r.Bytes).size(), UINT32_MAX));
  if (r.Bytes.size() > kMaxEditedTextLength) {
    r.Fit = ByteFit::TooLong;
    r.Problem = "The text takes " + std::to_string(r.Bytes.size()) + " bytes; a translation may take at most " +
                std::to_string(kMaxEditedTextLength);
  } else {
    r.Fit = r.Size <= r.Room ? ByteFit::InPlace : ByteFit::Relocated;
  }
  return r;
}

}  // namespace velmora
