#include "dialog/pointer_rule.h"

namespace vantrel {

PointerShape pointer_for(const PointerPlace& place, bool busy) {
  if (place.frame) return PointerShape::System;
  if (busy) return PointerShape::Hourglass;
  return place.control && spec_of(*place.control).hand_cursor ? PointerShape::Hand : PointerShape::Arrow;
}

}  // namespace vantrel
