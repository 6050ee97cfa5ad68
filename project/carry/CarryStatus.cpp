#include "project/carry/CarryStatus.h"

namespace velmora {

CarryOutcome OutcomeOf(CarryStatus status) {
  switch (status) {
    case CarryStatus::Carried: return CarryOutcome::Carried;
    case CarryStatus::Review: return CarryOutcome::Review;
    default: return CarryOutcome::NotCarried;
  }
}

std::string_view CarryStatusName(CarryStatus status) {
  switch (status) {
    case CarryStatus::Carried: return "carried";
    case CarryStatus::Review: return "review";
    case CarryStatus::Kept: return "kept";
    case CarryStatus::Matched: return "matched";
    case CarryStatus::Ambiguous: return "ambiguous";
    case CarryStatus::Limit: return "limit";
    case CarryStatus::Gone: return "gone";
    case CarryStatus::New: return "new";
  }
  return "";
}

std::string_view LimitReasonText(LimitReason reason) {
  switch (reason) {
    case LimitReason::None: return "";
    case LimitReason::ChangeCap: return "too many changes in one stretch to align";
    case LimitReason::CellBudget: return "the budget of alignment work ran out";
  }
  return "";
}

}  // namespace velmora
