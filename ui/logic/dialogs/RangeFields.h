// The rules of the new-project dialog's "Start 0x" and "End 0x" fields.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "project/text/HexText.h"

namespace velmora::ui {

inline bool IsValidHexField(std::string_view text) { return HexFieldValue(text).has_value(); }

struct RangeFields {
  std::string StartText;
  std::string EndText;
};
// The fields' texts when the dialog opens, the unit changes or "Address
// Range" is unchecked: "00000000" and the selected unit's size.
RangeFields DefaultRangeFields(uint32_t selectedUnitSize);

struct AddressRange {
  uint32_t RangeStart = 0;
  uint32_t RangeEnd = 0;
};
// The range set on "START": with "Address Range" checked the fields' values
// (an invalid start gives 0, an invalid end the selected unit's size),
// otherwise 0 and the selected unit's size.
AddressRange RangeFromFields(bool checked, std::string_view startText, std::string_view endText,
                             uint32_t selectedUnitSize);

}  // namespace velmora::ui
