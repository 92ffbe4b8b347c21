#pragma once
// The settings dialog's controls as data: every control of the window, its
// place in 96-DPI pixels, its caption and its looks. The Win32 view builds and
// draws the dialog from this table, the presenter names controls by it, and
// the tests read it.
//
// Places are relative to the client area of the box the control lies in:
// inside that box's border. Controls listed earlier lie over those listed
// later where they overlap (a label over its button face or heading plate).

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vantrel {

// Every control, in the table's order. Array elements carry their index in
// the name: lbl_Button_1 is element 1 of lbl_Button.
enum class ControlId : std::uint8_t {
  Pic_C,
  Pic_B_0,
  Pic_B_1,
  lbl_12,
  Img_H_3,
  lbl_Button_0,
  Img_Button_0,
  lbl_Kei,
  lbl_8,
  List_1,
  lbl_6,
  Img_H_2,
  lbl_PreSize,
  Pic_K,
  Img_FF_0,
  lbl_FF_0,
  Img_FF_1,
  lbl_FF_1,
  Folder_Path,
  lbl_15,
  Img_H_1,
  lbl_3,
  lbl_10,
  lbl_14,
  H_Scroll_0,
  lbl_Scroll_0,
  lbl_7,
  H_Scroll_1,
  lbl_Scroll_1,
  lbl_4,
  H_Scroll_2,
  lbl_Scroll_2,
  lbl_5,
  H_Scroll_3,
  lbl_Scroll_3,
  lbl_Button_1,
  Img_Button_1,
  lbl_Button_2,
  Img_Button_2,
  lbl_9,
  lbl_URL,
  // Off-screen stores of the carried pictures, below the visible area.
  Pic_Mbl,
  Pic_F,
  Img_O_button_0,
  Img_O_button_1,
  Img_Opt_0,
  Img_Opt_1,
  Img_H_0,
};
inline constexpr std::size_t kControlCount = static_cast<std::size_t>(ControlId::Img_H_0) + 1;

constexpr std::size_t index_of(ControlId id) { return static_cast<std::size_t>(id); }

enum class ControlKind : std::uint8_t {
  PictureBox,  // a drawing surface with a persistent image of its own
  Label,       // windowless text, transparent over what lies beneath
  Image,       // windowless picture holder
  ListBox,     // the system's list box
  ScrollBar,   // the system's horizontal scroll bar
};

// The box a control lies in. The window's client area is the parent of Pic_C
// and of the off-screen stores.
enum class Parent : std::uint8_t { Window, Pic_C, Pic_B_0, Pic_B_1 };

enum class Alignment : std::uint8_t { Left, Centre, Right };

// 96-DPI pixels. Width and height are 0 for a label that sizes itself to its
// text.
struct Rect96 {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct ControlSpec {
  ControlId id;
  std::string_view name;  // the control's name without its index
  int index;              // element of a control array, or -1
  ControlKind kind;
  Parent parent;
  Rect96 rect;
  std::string_view caption;  // a label's caption as the window opens
  Alignment alignment = Alignment::Left;
  bool border = false;       // a box's or label's sunken single border
  bool underline = false;
  bool hand_cursor = false;  // the pointing hand over the control
  bool auto_size = false;    // a label as wide and as high as its text
  bool off_screen = false;   // a store below the visible area, never drawn
};

// The table, indexed by ControlId.
const std::array<ControlSpec, kControlCount>& control_table();
const ControlSpec& spec_of(ControlId id);

// The box a Parent names (Pic_C, Pic_B_0 or Pic_B_1); nothing for Window.
std::optional<ControlId> box_of(Parent parent);

// Elements of the control arrays; nothing for an index the array does not
// have (a File_Kind of 2 names no option mark).
std::optional<ControlId> Pic_B(int index);
std::optional<ControlId> lbl_Button(int index);
std::optional<ControlId> Img_Button(int index);
std::optional<ControlId> Img_FF(int index);
std::optional<ControlId> lbl_FF(int index);
std::optional<ControlId> H_Scroll(int index);
std::optional<ControlId> lbl_Scroll(int index);
std::optional<ControlId> Img_H(int index);

// The scroll bars' ranges, by H_Scroll index; both changes are 1.
struct ScrollRange {
  int minimum;
  int maximum;
};
inline constexpr std::array<ScrollRange, 4> kScrollRanges = {{{1, 6}, {1, 100}, {1, 100}, {1, 20}}};
// The value every bar holds before the dialog sets it.
inline constexpr int kScrollStoredValue = 1;

// The list's sideways scroll reaches this far past its own width.
inline constexpr int kListExtraExtent96 = 300;

// Timer1's interval.
inline constexpr int kLinkTimerMilliseconds = 50;

// The font of every label and of the list: 9.75 points, regular weight, the
// Shift-JIS character set.
inline constexpr std::string_view kDialogFontFace = "ＭＳ Ｐゴシック";
inline constexpr int kDialogFontHundredthsOfPoint = 975;

// The folder browser's title ("click a folder to select it, then press OK").
inline constexpr std::string_view kBrowseTitle = "ﾌｫﾙﾀﾞをｸﾘｯｸして選択状態にしてから ＯＫ を押してください";

}  // namespace vantrel
