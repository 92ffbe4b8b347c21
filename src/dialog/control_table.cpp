#include "dialog/control_table.h"

#include <cassert>

#include "texts/program_texts.h"

namespace vantrel {
namespace {

using enum ControlId;
using enum ControlKind;
constexpr Alignment kCentre = Alignment::Centre;
constexpr Alignment kRight = Alignment::Right;
constexpr Alignment kLeft = Alignment::Left;

// One row per control: name, index, kind, parent, place, caption, alignment,
// border, underline, hand cursor, sizes itself, off-screen.
constexpr std::array<ControlSpec, kControlCount> kTable = {{
    {Pic_C, "Pic_C", -1, PictureBox, Parent::Window, {0, 0, 557, 341}, "", kLeft, true},
    {Pic_B_0, "Pic_B", 0, PictureBox, Parent::Pic_C, {12, 12, 305, 289}, "", kLeft, true},
    {Pic_B_1, "Pic_B", 1, PictureBox, Parent::Pic_C, {324, 12, 217, 213}, "", kLeft, true},
    {lbl_12, "lbl", 12, Label, Parent::Pic_B_0, {8, 12, 105, 17}, "画像のﾌｧｲﾙ", kCentre},
    {Img_H_3, "Img_H", 3, Image, Parent::Pic_B_0, {8, 8, 109, 22}, ""},
    {lbl_Button_0, "lbl_Button", 0, Label, Parent::Pic_B_0, {8, 44, 109, 17}, "ﾌｫﾙﾀﾞを指定...", kCentre, false, false,
     true},
    {Img_Button_0, "Img_Button", 0, Image, Parent::Pic_B_0, {8, 40, 109, 22}, ""},
    {lbl_Kei, "lbl_Kei", -1, Label, Parent::Pic_B_0, {128, 44, 33, 17}, "", kRight, true},
    {lbl_8, "lbl", 8, Label, Parent::Pic_B_0, {164, 48, 17, 13}, "枚"},
    {List_1, "List_1", -1, ListBox, Parent::Pic_B_0, {8, 68, 169, 173}, "", kLeft, false, false, true},
    {lbl_6, "lbl", 6, Label, Parent::Pic_B_0, {188, 44, 100, 17}, "画像のﾌﾟﾚﾋﾞｭｰ", kCentre},
    {Img_H_2, "Img_H", 2, Image, Parent::Pic_B_0, {188, 40, 101, 22}, ""},
    {lbl_PreSize, "lbl_PreSize", -1, Label, Parent::Pic_B_0, {188, 68, 101, 13}, "9999 * 9999", kCentre},
    {Pic_K, "Pic_K", -1, PictureBox, Parent::Pic_B_0, {188, 84, 100, 100}, ""},
    {Img_FF_0, "Img_FF", 0, Image, Parent::Pic_B_0, {188, 196, 13, 13}, "", kLeft, false, false, true},
    {lbl_FF_0, "lbl_FF", 0, Label, Parent::Pic_B_0, {204, 196, 70, 13}, "ﾌｫﾙﾀﾞで指定", kLeft, false, false, true},
    {Img_FF_1, "Img_FF", 1, Image, Parent::Pic_B_0, {188, 216, 13, 13}, "", kLeft, false, false, true},
    {lbl_FF_1, "lbl_FF", 1, Label, Parent::Pic_B_0, {204, 216, 68, 13}, "ﾌｧｲﾙで指定", kLeft, false, false, true},
    {Folder_Path, "Folder_Path", -1, Label, Parent::Pic_B_0, {8, 248, 285, 29}, "", kLeft, true},
    {lbl_15, "lbl", 15, Label, Parent::Pic_B_1, {8, 12, 93, 17}, "ｱｸｼｮﾝ", kCentre},
    {Img_H_1, "Img_H", 1, Image, Parent::Pic_B_1, {8, 8, 95, 22}, ""},
    {lbl_3, "lbl", 3, Label, Parent::Pic_B_1, {124, 28, 20, 13}, "Min", kLeft, false, false, false, true},
    {lbl_10, "lbl", 10, Label, Parent::Pic_B_1, {176, 28, 22, 13}, "Max", kRight},
    {lbl_14, "lbl", 14, Label, Parent::Pic_B_1, {8, 48, 60, 13}, "球の大きさ"},
    {H_Scroll_0, "H_Scroll", 0, ScrollBar, Parent::Pic_B_1, {124, 44, 73, 17}, "", kLeft, false, false, true},
    {lbl_Scroll_0, "lbl_Scroll", 0, Label, Parent::Pic_B_1, {124, 64, 72, 13}, "9999", kCentre},
    {lbl_7, "lbl", 7, Label, Parent::Pic_B_1, {8, 88, 62, 13}, "回転の速さ"},
    {H_Scroll_1, "H_Scroll", 1, ScrollBar, Parent::Pic_B_1, {124, 84, 73, 17}, "", kLeft, false, false, true},
    {lbl_Scroll_1, "lbl_Scroll", 1, Label, Parent::Pic_B_1, {124, 104, 71, 13}, "9999", kCentre},
    {lbl_4, "lbl", 4, Label, Parent::Pic_B_1, {8, 128, 103, 13}, "爆発の拡散度合い"},
    {H_Scroll_2, "H_Scroll", 2, ScrollBar, Parent::Pic_B_1, {124, 124, 73, 17}, "", kLeft, false, false, true},
    {lbl_Scroll_2, "lbl_Scroll", 2, Label, Parent::Pic_B_1, {124, 144, 75, 13}, "9999", kCentre},
    {lbl_5, "lbl", 5, Label, Parent::Pic_B_1, {8, 168, 111, 13}, "爆発の拡散する速さ"},
    {H_Scroll_3, "H_Scroll", 3, ScrollBar, Parent::Pic_B_1, {124, 164, 73, 17}, "", kLeft, false, false, true},
    {lbl_Scroll_3, "lbl_Scroll", 3, Label, Parent::Pic_B_1, {124, 184, 72, 13}, "9999", kCentre},
    {lbl_Button_1, "lbl_Button", 1, Label, Parent::Pic_C, {344, 272, 93, 17}, "設定", kCentre, false, false, true},
    {Img_Button_1, "Img_Button", 1, Image, Parent::Pic_C, {344, 268, 95, 22}, ""},
    {lbl_Button_2, "lbl_Button", 2, Label, Parent::Pic_C, {444, 272, 93, 17}, "ｷｬﾝｾﾙ", kCentre, false, false, true},
    {Img_Button_2, "Img_Button", 2, Image, Parent::Pic_C, {444, 268, 95, 22}, ""},
    {lbl_9, "lbl", 9, Label, Parent::Pic_C, {12, 312, 0, 0}, kCreditLine, kLeft, false, false, false, true},
    {lbl_URL, "lbl_URL", -1, Label, Parent::Pic_C, {192, 312, 0, 0}, kHomePageAddress, kLeft, false, true, true,
     true},
    {Pic_Mbl, "Pic_Mbl", -1, PictureBox, Parent::Window, {28, 388, 560, 20}, "", kLeft, false, false, false, false,
     true},
    {Pic_F, "Pic_F", -1, PictureBox, Parent::Window, {264, 560, 0, 0}, "", kLeft, false, false, false, false, true},
    {Img_O_button_0, "Img_O_button", 0, Image, Parent::Window, {16, 552, 95, 22}, "", kLeft, false, false, false,
     false, true},
    {Img_O_button_1, "Img_O_button", 1, Image, Parent::Window, {116, 552, 95, 22}, "", kLeft, false, false, false,
     false, true},
    {Img_Opt_0, "Img_Opt", 0, Image, Parent::Window, {220, 556, 13, 13}, "", kLeft, false, false, false, false,
     true},
    {Img_Opt_1, "Img_Opt", 1, Image, Parent::Window, {220, 572, 13, 13}, "", kLeft, false, false, false, false,
     true},
    {Img_H_0, "Img_H", 0, Image, Parent::Window, {320, 556, 95, 22}, "", kLeft, false, false, false, false, true},
}};

constexpr bool rows_follow_the_enum() {
  for (std::size_t i = 0; i < kTable.size(); ++i)
    if (index_of(kTable[i].id) != i) return false;
  return true;
}
static_assert(rows_follow_the_enum(), "the table's rows must be in ControlId order");

// Element `index` of an array whose elements lie at the given places.
template <std::size_t N>
std::optional<ControlId> element(const std::array<ControlId, N>& elements, int index) {
  if (index < 0 || index >= static_cast<int>(N)) return std::nullopt;
  return elements[static_cast<std::size_t>(index)];
}

}  // namespace

const std::array<ControlSpec, kControlCount>& control_table() { return kTable; }

const ControlSpec& spec_of(ControlId id) {
  assert(index_of(id) < kControlCount && "a ControlId names a row of the table");
  return kTable[index_of(id)];
}

std::optional<ControlId> box_of(Parent parent) {
  switch (parent) {
    case Parent::Pic_C:
      return Pic_C;
    case Parent::Pic_B_0:
      return Pic_B_0;
    case Parent::Pic_B_1:
      return Pic_B_1;
    case Parent::Window:
      break;
  }
  return std::nullopt;
}

std::optional<ControlId> Pic_B(int index) { return element(std::array{Pic_B_0, Pic_B_1}, index); }
std::optional<ControlId> lbl_Button(int index) {
  return element(std::array{lbl_Button_0, lbl_Button_1, lbl_Button_2}, index);
}
std::optional<ControlId> Img_Button(int index) {
  return element(std::array{Img_Button_0, Img_Button_1, Img_Button_2}, index);
}
std::optional<ControlId> Img_FF(int index) { return element(std::array{Img_FF_0, Img_FF_1}, index); }
std::optional<ControlId> lbl_FF(int index) { return element(std::array{lbl_FF_0, lbl_FF_1}, index); }
std::optional<ControlId> H_Scroll(int index) {
  return element(std::array{H_Scroll_0, H_Scroll_1, H_Scroll_2, H_Scroll_3}, index);
}
std::optional<ControlId> lbl_Scroll(int index) {
  return element(std::array{lbl_Scroll_0, lbl_Scroll_1, lbl_Scroll_2, lbl_Scroll_3}, index);
}
std::optional<ControlId> Img_H(int index) { return element(std::array{Img_H_0, Img_H_1, Img_H_2, Img_H_3}, index); }

}  // namespace vantrel
