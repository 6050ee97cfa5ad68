#include "ui/logic/dialogs/RangeFields.h"

namespace velmora::ui {

RangeFields DefaultRangeFields(uint32_t selectedUnitSize) { return {"00000000", FormatHex8(selectedUnitSize)}; }

AddressRange RangeFromFields(bool checked, std::string_view startText, std::string_view endText,
                             uint32_t selectedUnitSize) {
  if (!checked) return {0, selectedUnitSize};
  return {HexFieldValue(startText).value_or(0), HexFieldValue(endText).value_or(selectedUnitSize)};
}

}  // namespace velmora::ui
