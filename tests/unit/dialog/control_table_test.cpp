#include "dialog/control_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vantrel {
namespace {

std::string name_of(ControlId id) {
  const ControlSpec& entry = spec_of(id);
  return std::string(entry.name) + (entry.index >= 0 ? "(" + std::to_string(entry.index) + ")" : "");
}

TEST(ControlTable, TheHandShowsOverExactlyTheClickableControls) {
  std::set<std::string> with_hand;
  for (const ControlSpec& entry : control_table())
    if (entry.hand_cursor) with_hand.insert(name_of(entry.id));
  EXPECT_EQ(with_hand, (std::set<std::string>{"H_Scroll(0)", "H_Scroll(1)", "H_Scroll(2)", "H_Scroll(3)",
                                              "lbl_Button(0)", "lbl_Button(1)", "lbl_Button(2)", "Img_FF(0)",
                                              "Img_FF(1)", "lbl_FF(0)", "lbl_FF(1)", "List_1", "lbl_URL"}));
}

TEST(ControlTable, ArraysNameTheirElementsAndNothingBeyond) {
  const struct {
    std::optional<ControlId> (*element)(int);
    int count;
    std::string name;
  } arrays[] = {{Pic_B, 2, "Pic_B"},           {lbl_Button, 3, "lbl_Button"}, {Img_Button, 3, "Img_Button"},
                {Img_FF, 2, "Img_FF"},         {lbl_FF, 2, "lbl_FF"},         {H_Scroll, 4, "H_Scroll"},
                {lbl_Scroll, 4, "lbl_Scroll"}, {Img_H, 4, "Img_H"}};
  for (const auto& array : arrays) {
    for (int i = 0; i < array.count; ++i) {
      ASSERT_TRUE(array.element(i)) << array.name << " " << i;
      EXPECT_EQ(name_of(*array.element(i)), array.name + "(" + std::to_string(i) + ")");
    }
    EXPECT_FALSE(array.element(-1)) << array.name;
    EXPECT_FALSE(array.element(array.count)) << array.name;
  }
}

TEST(ControlTable, EveryControlLiesInABoxListedBeforeIt) {
  std::set<ControlId> seen;
  for (const ControlSpec& entry : control_table()) {
    if (const auto box = box_of(entry.parent)) {
      EXPECT_TRUE(seen.count(*box)) << name_of(entry.id);
      EXPECT_EQ(spec_of(*box).kind, ControlKind::PictureBox) << name_of(entry.id);
    }
    seen.insert(entry.id);
  }
  // Nothing shown lies below the visible area; every store does.
  for (const ControlSpec& entry : control_table())
    EXPECT_EQ(entry.off_screen, entry.parent == Parent::Window && entry.id != ControlId::Pic_C) << name_of(entry.id);
}

}  // namespace
}  // namespace vantrel
