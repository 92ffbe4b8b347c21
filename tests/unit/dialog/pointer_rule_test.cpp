// Which pointer the dialog shows where, busy or not.
#include "dialog/pointer_rule.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

TEST(PointerRule, TheShapeFollowsThePlaceAndWhetherTheDialogIsBusy) {
  const struct {
    const char* what;
    PointerPlace place;
    PointerShape idle;
    PointerShape busy;
  } cases[] = {
      {"the frame or caption", {true, std::nullopt}, PointerShape::System, PointerShape::System},
      {"a bare panel", {false, std::nullopt}, PointerShape::Arrow, PointerShape::Hourglass},
      {"the list", {false, ControlId::List_1}, PointerShape::Hand, PointerShape::Hourglass},
      {"a slider", {false, ControlId::H_Scroll_2}, PointerShape::Hand, PointerShape::Hourglass},
      {"a button's label", {false, ControlId::lbl_Button_1}, PointerShape::Hand, PointerShape::Hourglass},
      {"the margin of a button's face", {false, ControlId::Img_Button_1}, PointerShape::Arrow,
       PointerShape::Hourglass},
      {"an option mark", {false, ControlId::Img_FF_0}, PointerShape::Hand, PointerShape::Hourglass},
      {"an option label", {false, ControlId::lbl_FF_1}, PointerShape::Hand, PointerShape::Hourglass},
      {"the link", {false, ControlId::lbl_URL}, PointerShape::Hand, PointerShape::Hourglass},
      {"the count", {false, ControlId::lbl_Kei}, PointerShape::Arrow, PointerShape::Hourglass},
      {"a slider's value", {false, ControlId::lbl_Scroll_0}, PointerShape::Arrow, PointerShape::Hourglass},
      {"a heading", {false, ControlId::lbl_15}, PointerShape::Arrow, PointerShape::Hourglass},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(pointer_for(c.place, false), c.idle) << c.what;
    EXPECT_EQ(pointer_for(c.place, true), c.busy) << c.what << ", busy";
  }
}

// The hand is exactly where the table says a control is clickable.
TEST(PointerRule, TheHandShowsOverEveryControlTheTableMarksClickableAndNoOther) {
  int hands = 0;
  for (const ControlSpec& entry : control_table()) {
    const bool hand = pointer_for({false, entry.id}, false) == PointerShape::Hand;
    EXPECT_EQ(hand, entry.hand_cursor) << entry.name << " " << entry.index;
    hands += hand ? 1 : 0;
  }
  // H_Scroll 0 to 3, lbl_Button 0 to 2, Img_FF and lbl_FF 0 and 1, List_1, lbl_URL.
  EXPECT_EQ(hands, 13);
}

}  // namespace
}  // namespace vantrel
