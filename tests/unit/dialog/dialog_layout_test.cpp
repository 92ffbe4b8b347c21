#include "dialog/dialog_layout.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

#include "dialog/control_table.h"

namespace vantrel {
namespace {

// Every character 7 pixels wide, lines 14 high.
DeviceSize measure(std::string_view text) { return {static_cast<int>(text.size()) * 7, 14}; }

// A control's place at 96 DPI in the window's client area, from the table:
// its own place plus every box above it (inside their borders).
DeviceRect expected_at_96(const ControlSpec& entry) {
  int left = entry.rect.left;
  int top = entry.rect.top;
  for (auto box = box_of(entry.parent); box; box = box_of(spec_of(*box).parent)) {
    left += spec_of(*box).rect.left + (spec_of(*box).border ? 2 : 0);
    top += spec_of(*box).rect.top + (spec_of(*box).border ? 2 : 0);
  }
  return {left, top, left + entry.rect.width, top + entry.rect.height};
}

TEST(DialogLayout, At96DpiEveryPlaceIsTheTables) {
  const DialogLayout layout = layout_dialog(96, measure);
  EXPECT_EQ(layout.client(), (DeviceSize{557, 341}));
  for (const ControlSpec& entry : control_table()) {
    if (entry.auto_size) continue;
    EXPECT_EQ(layout.outer_of(entry.id), expected_at_96(entry)) << entry.name << " " << entry.index;
  }
  // Inside the borders: the panels' two pixels, a label's one.
  EXPECT_EQ(layout.inner_of(ControlId::Pic_B_0), (DeviceRect{16, 16, 317, 301}));
  EXPECT_EQ(layout.inner_of(ControlId::lbl_Kei), (DeviceRect{145, 61, 176, 76}));
  // A label sizes itself to its caption.
  const DeviceRect url = layout.outer_of(ControlId::lbl_URL);
  EXPECT_EQ(url.width(), static_cast<int>(spec_of(ControlId::lbl_URL).caption.size()) * 7);
  EXPECT_EQ(url.height(), 14);
  EXPECT_EQ(layout.outer_of(ControlId::lbl_3).width(), 21) << "Min sizes itself too";
}

TEST(DialogLayout, ScalesEdgesSoNeighboursStayNeighbours) {
  for (const int dpi : {120, 144, 168, 192}) {
    const DialogLayout at_96 = layout_dialog(96, measure);
    const DialogLayout scaled = layout_dialog(dpi, measure);
    const double scale = dpi / 96.0;
    EXPECT_EQ(scaled.client().width, scale_to_dpi(557, dpi)) << dpi;
    // Two controls of one box that share an edge at 96 DPI share it at every DPI.
    std::set<std::tuple<Parent, int, int>> rights_at_96_and_scaled;
    for (const ControlSpec& entry : control_table()) {
      if (entry.auto_size) continue;
      const DeviceRect a = at_96.outer_of(entry.id);
      const DeviceRect b = scaled.outer_of(entry.id);
      rights_at_96_and_scaled.insert({entry.parent, a.right, b.right});
      EXPECT_NEAR(b.left, a.left * scale, 2.0) << entry.name << " " << entry.index << " at " << dpi;
      EXPECT_NEAR(b.width(), a.width() * scale, 1.0) << entry.name << " " << entry.index << " at " << dpi;
    }
    std::set<std::pair<Parent, int>> rights_at_96;
    for (const auto& [parent, right, scaled_right] : rights_at_96_and_scaled) {
      EXPECT_TRUE(rights_at_96.insert({parent, right}).second) << "the right edge " << right << " went apart at " << dpi;
    }
  }
  EXPECT_EQ(layout_dialog(144, measure).box_border, 3);
  EXPECT_EQ(font_pixel_height(96), 13);
  EXPECT_EQ(font_pixel_height(144), 20);  // 19.5 rounds up
}

TEST(DialogLayout, ThePreviewGrowsFromItsTopLeftCorner) {
  const DialogLayout layout = layout_dialog(96, measure);
  EXPECT_EQ(preview_rect(layout, 100, 75), (DeviceRect{204, 100, 304, 175}));
  EXPECT_EQ(preview_rect(layout, 100, 66.666), (DeviceRect{204, 100, 304, 167}));  // a 3 x 2 picture
  EXPECT_EQ(preview_rect(layout, 25, 100), (DeviceRect{204, 100, 229, 200}));
  EXPECT_EQ(preview_device_size(100, 75, 144), (DeviceSize{150, 113}));
}

TEST(DialogLayout, FindsTheLabelOverItsFaceAndNothingElse) {
  const DialogLayout layout = layout_dialog(96, measure);
  const auto centre = [&](ControlId id) {
    const DeviceRect r = layout.outer_of(id);
    return std::pair{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  };
  const auto at = [&](std::pair<int, int> point) { return windowless_control_at(layout, point.first, point.second); };
  EXPECT_EQ(at(centre(ControlId::lbl_Button_1)), ControlId::lbl_Button_1) << "the label lies over its face";
  const DeviceRect face = layout.outer_of(ControlId::Img_Button_1);
  EXPECT_EQ(at({face.left + 1, face.top + 1}), ControlId::Img_Button_1) << "the face's margin is the face";
  EXPECT_EQ(at(centre(ControlId::Img_FF_0)), ControlId::Img_FF_0);
  EXPECT_EQ(at(centre(ControlId::lbl_URL)), ControlId::lbl_URL);
  EXPECT_EQ(at(centre(ControlId::List_1)), std::nullopt) << "the system's list is a window of its own";
  EXPECT_EQ(at(centre(ControlId::Pic_K)), std::nullopt);
  EXPECT_EQ(at({3, 3}), std::nullopt) << "Pic_C itself";
  EXPECT_EQ(at({50, 400}), std::nullopt) << "the off-screen stores take no clicks";
}

}  // namespace
}  // namespace vantrel
