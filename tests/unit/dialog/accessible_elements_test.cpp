// The dialog as a screen reader sees it: which drawn labels are elements,
// with which role, name, place and checked state, at 96 and 144 DPI; and the
// presenter's default action, which must do what the mouse does.
#include "dialog/accessible_elements.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "dialog/dialog_presenter_fixture.h"

namespace vantrel {
namespace {

using enum ControlId;
using Role = AccessibleRole;

// Text measured as 7 pixels a byte at 96 DPI, 13 high: enough for the
// labels that size themselves to have a place.
MeasureText measure_at(int dpi) {
  return [dpi](std::string_view text) {
    return DeviceSize{scale_to_dpi(7.0 * static_cast<double>(text.size()), dpi), font_pixel_height(dpi)};
  };
}

// The controls a user acts on, with what a reader must call them.
const std::map<ControlId, Role> kActable = {
    {lbl_Button_0, Role::PushButton}, {lbl_Button_1, Role::PushButton}, {lbl_Button_2, Role::PushButton},
    {lbl_FF_0, Role::RadioButton},    {lbl_FF_1, Role::RadioButton},    {lbl_URL, Role::Link},
};

TEST(AccessibleElementsTest, EveryVisibleLabelIsOneElementWithItsRoleAndNoOtherControlIsOne) {
  const DialogLayout layout = layout_dialog(96, measure_at(96));
  const DialogState state = initial_dialog_state();
  const std::vector<AccessibleElement> elements = accessible_elements(layout, state);
  ASSERT_EQ(elements.size(), accessible_controls().size());
  std::size_t labels = 0;
  for (const ControlSpec& entry : control_table()) {
    const bool label = entry.kind == ControlKind::Label && !entry.off_screen;
    labels += label ? 1 : 0;
    const auto index = accessible_index_of(entry.id);
    // An option mark is part of its option's element; nothing else that is
    // not a label is an element.
    const bool mark = entry.id == Img_FF_0 || entry.id == Img_FF_1;
    ASSERT_EQ(index.has_value(), label || mark) << entry.name << " " << entry.index;
    if (!index) continue;
    const AccessibleElement& element = elements[*index];
    EXPECT_EQ(element.control, mark ? *lbl_FF(entry.index) : entry.id);
    if (mark) continue;
    const auto actable = kActable.find(entry.id);
    const Role wanted = actable == kActable.end() ? Role::StaticText : actable->second;
    EXPECT_EQ(element.role, wanted) << entry.name << " " << entry.index;
    EXPECT_EQ(has_default_action(element.role), actable != kActable.end()) << entry.name << " " << entry.index;
    EXPECT_EQ(element.name, entry.caption) << "the caption as the window opens";
  }
  EXPECT_EQ(elements.size(), labels);
}

TEST(AccessibleElementsTest, NamesAndCheckedStatesFollowWhatTheDialogShows) {
  const DialogLayout layout = layout_dialog(96, measure_at(96));
  struct Case {
    std::optional<CarriedPicture> mark0, mark1;
    bool checked0, checked1;
  };
  const Case cases[] = {
      {CarriedPicture::OptionChosen, CarriedPicture::OptionNotChosen, true, false},
      {CarriedPicture::OptionNotChosen, CarriedPicture::OptionChosen, false, true},
      {std::nullopt, std::nullopt, false, false},  // a File_Kind naming no mark
  };
  for (const Case& c : cases) {
    DialogState state = initial_dialog_state();
    state.pictures[index_of(Img_FF_0)] = c.mark0;
    state.pictures[index_of(Img_FF_1)] = c.mark1;
    state.captions[index_of(lbl_Kei)] = "1,234";
    state.captions[index_of(Folder_Path)] = "C:\\写真";
    const auto elements = accessible_elements(layout, state);
    EXPECT_EQ(elements[*accessible_index_of(lbl_FF_0)].checked, c.checked0);
    EXPECT_EQ(elements[*accessible_index_of(lbl_FF_1)].checked, c.checked1);
    EXPECT_EQ(elements[*accessible_index_of(lbl_Kei)].name, "1,234");
    EXPECT_EQ(elements[*accessible_index_of(Folder_Path)].name, "C:\\写真");
    for (const AccessibleElement& element : elements)
      if (element.role != Role::RadioButton) {
        EXPECT_FALSE(element.checked) << spec_of(element.control).name;
      }
  }
}

// Every element lies inside the client area and inside its box, a reader's
// hit test at its centre finds it again, and an option takes in its mark.
TEST(AccessibleElementsTest, PlacesLieInTheClientAreaAndTheirCentresFindThemAt96And144Dpi) {
  for (const int dpi : {96, 144}) {
    const DialogLayout layout = layout_dialog(dpi, measure_at(dpi));
    const auto elements = accessible_elements(layout, initial_dialog_state());
    const DeviceSize client = layout.client();
    for (std::size_t i = 0; i < elements.size(); ++i) {
      const AccessibleElement& element = elements[i];
      const DeviceRect& place = element.place;
      SCOPED_TRACE(std::string(spec_of(element.control).name) + " " + std::to_string(spec_of(element.control).index) +
                   " at " + std::to_string(dpi));
      EXPECT_GT(place.width(), 0);
      EXPECT_GT(place.height(), 0);
      EXPECT_GE(place.left, 0);
      EXPECT_GE(place.top, 0);
      EXPECT_LE(place.right, client.width);
      EXPECT_LE(place.bottom, client.height);
      // The label's own rectangle, scaled edge by edge, is inside the place.
      const DeviceRect& label = layout.outer_of(element.control);
      EXPECT_LE(place.left, label.left);
      EXPECT_LE(place.top, label.top);
      const int x = (place.left + place.right) / 2;
      const int y = (place.top + place.bottom) / 2;
      if (element.role == Role::RadioButton) {
        const DeviceRect& mark = layout.outer_of(*Img_FF(spec_of(element.control).index));
        EXPECT_EQ(place.left, mark.left);
        EXPECT_EQ(accessible_element_at(layout, mark.left + 1, mark.top + 1), i) << "the mark is the option's";
        EXPECT_EQ(accessible_element_at(layout, label.left + 1, label.top + 1), i);
      } else {
        EXPECT_EQ(accessible_element_at(layout, x, y), i);
      }
    }
    // The size at 144 DPI is the 96-DPI size half again, to a pixel.
    if (dpi == 144) {
      const auto at96 = accessible_elements(layout_dialog(96, measure_at(96)), initial_dialog_state());
      for (std::size_t i = 0; i < elements.size(); ++i) {
        EXPECT_NEAR(elements[i].place.width(), at96[i].place.width() * 1.5, 1.0) << spec_of(elements[i].control).name;
        EXPECT_NEAR(elements[i].place.left, at96[i].place.left * 1.5, 1.0) << spec_of(elements[i].control).name;
      }
    }
  }
}

TEST(AccessibleElementsTest, ABareFaceAPlateOrAnEmptyPanelIsNoElement) {
  for (const int dpi : {96, 144}) {
    const DialogLayout layout = layout_dialog(dpi, measure_at(dpi));
    const DeviceRect face = layout.outer_of(Img_Button_1);
    const DeviceRect plate = layout.outer_of(Img_H_1);
    const DeviceRect panel = layout.inner_of(Pic_B_1);
    const std::pair<int, int> points[] = {
        {face.left + 1, face.top + 1},        // the face's margin around "設定"
        {plate.left + 1, plate.top + 1},      // the heading plate's margin
        {panel.right - 3, panel.bottom - 3},  // the panel's empty corner
        {-1, -1},
    };
    for (const auto& [x, y] : points) EXPECT_EQ(accessible_element_at(layout, x, y), std::nullopt) << x << "," << y;
  }
}

TEST(AccessibleElementsTest, TheListAndEachSliderTakeTheCaptionOfTheLabelBesideThem) {
  const std::map<ControlId, std::string_view> wanted = {
      {List_1, "画像のﾌｧｲﾙ"},        {H_Scroll_0, "球の大きさ"},       {H_Scroll_1, "回転の速さ"},
      {H_Scroll_2, "爆発の拡散度合い"}, {H_Scroll_3, "爆発の拡散する速さ"},
  };
  for (const ControlSpec& entry : control_table()) {
    const auto found = wanted.find(entry.id);
    const auto name = accessible_name_of_system_control(entry.id);
    if (found == wanted.end()) {
      EXPECT_EQ(name, std::nullopt) << entry.name << " " << entry.index;
    } else {
      EXPECT_EQ(name, found->second) << entry.name << " " << entry.index;
    }
  }
}

// A default action is a press and its release: each control as the mouse.
class DefaultActionTest : public testing::DialogPresenterTest {};

TEST_F(DefaultActionTest, DoesWhatAClickDoes) {
  struct Case {
    ControlId control;
    bool saves;
    bool closes;
    std::int16_t kind_after;
    bool browses;
  };
  const Case cases[] = {
      {lbl_Button_1, true, true, kFileKindSingleFile, false},   // 設定
      {lbl_Button_2, false, true, kFileKindSingleFile, false},  // ｷｬﾝｾﾙ
      {lbl_FF_0, false, false, kFileKindFolder, false},
      {lbl_Button_0, false, false, kFileKindSingleFile, true},
      {lbl_Kei, false, false, kFileKindSingleFile, false},  // a text does nothing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(spec_of(c.control).name));
    model.File_Kind = kFileKindSingleFile;
    writer.saved.clear();
    view.browse_titles.clear();
    view.folder_to_choose.reset();
    load();
    presenter->on_default_action(c.control);
    EXPECT_EQ(writer.saved.size(), c.saves ? 1u : 0u);
    EXPECT_EQ(presenter->closed(), c.closes);
    EXPECT_EQ(model.File_Kind, c.kind_after);
    EXPECT_EQ(!view.browse_titles.empty(), c.browses);
    if (c.control == lbl_FF_0) {
      EXPECT_EQ(picture(Img_FF(0)), CarriedPicture::OptionChosen);
    }
    // Whatever the action, every button face is raised again after it.
    for (int i = 0; i < 3; ++i) EXPECT_EQ(picture(Img_Button(i)), CarriedPicture::ButtonRaised);
  }
}

}  // namespace
}  // namespace vantrel
