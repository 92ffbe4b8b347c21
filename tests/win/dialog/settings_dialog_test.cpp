// The settings dialog's window in this process, drawn and read back from the
// screen: its size and place, the texture on every panel, the preview in its
// raised edge, and the button faces swapped by a press.
#include "dialog/settings_dialog_win32.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialog/dialog_layout.h"
#include "imagesource/sandbox.h"
#include "platform/embedded_data_win32.h"
#include "platform/picture_decoder_win32.h"
#include "resources/resource_ids.h"
#include "support/screen_capture.h"
#include "texts/program_texts.h"

namespace vantrel {
namespace {

constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

// A 24-bit bitmap file: top quarter green, below it left half red and right
// half blue.
std::string marked_bitmap(int width, int height) {
  const int row_bytes = (width * 3 + 3) / 4 * 4;
  const auto size = static_cast<std::uint32_t>(54 + row_bytes * height);
  std::string file(size, '\0');
  const auto put = [&](std::size_t at, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) file[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  file[0] = 'B';
  file[1] = 'M';
  put(2, size, 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, static_cast<std::uint32_t>(width), 4);
  put(22, static_cast<std::uint32_t>(height), 4);  // bottom-up
  put(26, 1, 2);
  put(28, 24, 2);
  for (int y = 0; y < height; ++y) {
    const int top_down = height - 1 - y;
    for (int x = 0; x < width; ++x) {
      const COLORREF colour = top_down < height / 4 ? kGreen : x < width / 2 ? kRed : kBlue;
      const std::size_t at = 54 + static_cast<std::size_t>(y) * row_bytes + static_cast<std::size_t>(x) * 3;
      file[at] = static_cast<char>(GetBValue(colour));
      file[at + 1] = static_cast<char>(GetGValue(colour));
      file[at + 2] = static_cast<char>(GetRValue(colour));
    }
  }
  return file;
}

using testing::Capture;
using testing::capture_client;

// A carried picture as the program decodes it.
Picture carried(int id) {
  Win32PictureDecoder decoder;
  auto decoded = decoder.decode_memory(embedded_bytes(GetModuleHandleW(nullptr), id),
                                       [](PictureSize own) { return own; }, Resampling::Smooth);
  return decoded ? std::move(decoded->pixels) : Picture{};
}

COLORREF colour_of(const Picture& picture, int x, int y) {
  const std::uint8_t* p = &picture.rgba[(static_cast<std::size_t>(y) * picture.width + x) * 4];
  return RGB(p[0], p[1], p[2]);
}

DeviceSize no_text(std::string_view) { return {0, 0}; }

// Runs the dialog for the model; each step runs on a timer tick inside the
// dialog's own message loop, with the dialog's window, and the last one
// closes it.
class SettingsDialogTest : public ::testing::Test {
 protected:
  using Step = std::function<void(HWND)>;

  void run_dialog(std::vector<Step> steps) {
    steps_ = std::move(steps);
    next_ = 0;
    const UINT_PTR timer = SetTimer(nullptr, 0, 700, &SettingsDialogTest::tick);
    run_settings_dialog(GetModuleHandleW(nullptr), model);
    KillTimer(nullptr, timer);  // a dialog that closed early leaves it running
    EXPECT_EQ(next_, steps_.size()) << "the dialog closed before every step ran";
  }

  static void CALLBACK tick(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND dialog = FindWindowW(nullptr, L"Vantrelの設定");
    if (!dialog || !IsWindowVisible(dialog)) return;  // not open yet
    if (next_ < steps_.size()) steps_[next_++](dialog);
    if (next_ == steps_.size()) {
      KillTimer(nullptr, timer);
      PostMessageW(dialog, WM_CLOSE, 0, 0);
    }
  }

  static inline std::vector<Step> steps_;
  static inline std::size_t next_ = 0;
  testing::Sandbox sandbox;
  SettingsModel model;
  const DialogLayout layout = layout_dialog(96, no_text);
};

TEST_F(SettingsDialogTest, OpensCentredWithTheTextureOnEveryPanelAndThePreviewInItsEdge) {
  model.File_Kind = kFileKindSingleFile;
  model.File_Path = sandbox.file("marked.bmp", marked_bitmap(640, 480));
  const Picture texture = carried(IDR_DIALOG_TEXTURE);
  ASSERT_EQ(texture.width, 560);

  run_dialog({[&](HWND dialog) {
    RECT client{};
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, 557);
    EXPECT_EQ(client.bottom, 341);
    RECT outer{};
    GetWindowRect(dialog, &outer);
    EXPECT_NEAR((outer.left + outer.right) / 2.0, GetSystemMetrics(SM_CXSCREEN) / 2.0, 1.0);
    EXPECT_NEAR((outer.top + outer.bottom) / 2.0, GetSystemMetrics(SM_CYSCREEN) / 2.0, 1.0);

    const Capture shown = capture_client(dialog);
    // Every box starts the tile at its own top-left corner; its last rows and
    // columns, just inside its border, hold the texture too.
    for (const ControlId box : {ControlId::Pic_C, ControlId::Pic_B_0, ControlId::Pic_B_1}) {
      const DeviceRect inner = layout.inner_of(box);
      int wrong = 0;
      for (int y = inner.bottom - 4; y < inner.bottom; ++y)
        for (int x = inner.left + 1; x < inner.right; ++x) {
          // Below the panels Pic_C holds the credit line: its corner only.
          if (box == ControlId::Pic_C && x < inner.right - 10) continue;
          wrong += shown.at(x, y) == colour_of(texture, (x - inner.left) % 560, (y - inner.top) % 20) ? 0 : 1;
        }
      for (int y = inner.top + 1; y < inner.bottom; ++y)
        for (int x = inner.right - 4; x < inner.right; ++x)
          wrong += shown.at(x, y) == colour_of(texture, (x - inner.left) % 560, (y - inner.top) % 20) ? 0 : 1;
      EXPECT_EQ(wrong, 0) << "texture pixels wrong near the right and bottom of box " << index_of(box);
    }

    // The 640 x 480 picture in a 100 x 75 box: its outer two pixels are the
    // raised edge, inside it the picture, below it the panel's texture.
    const DeviceRect preview = layout.outer_of(ControlId::Pic_K);
    EXPECT_EQ(shown.at(preview.left, preview.top), GetSysColor(COLOR_3DLIGHT));
    EXPECT_EQ(shown.at(preview.left + 1, preview.top + 1), GetSysColor(COLOR_3DHILIGHT));
    EXPECT_EQ(shown.at(preview.left + 99, preview.top + 74), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(shown.at(preview.left + 98, preview.top + 73), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(shown.at(preview.left + 50, preview.top + 5), kGreen);
    EXPECT_EQ(shown.at(preview.left + 10, preview.top + 60), kRed);
    EXPECT_EQ(shown.at(preview.left + 90, preview.top + 60), kBlue);
    EXPECT_EQ(shown.at(preview.left + 90, preview.top + 72), kBlue) << "75 high, not 100";
    const DeviceRect panel = layout.inner_of(ControlId::Pic_B_0);
    EXPECT_EQ(shown.at(preview.left + 50, preview.top + 80),
              colour_of(texture, (preview.left + 50 - panel.left) % 560, (preview.top + 80 - panel.top) % 20));
  }});
}

TEST_F(SettingsDialogTest, APressShowsThePressedFaceAndTheReleaseActs) {
  const Picture pressed = carried(IDR_DIALOG_BUTTON_PRESSED);
  const Picture raised = carried(IDR_DIALOG_BUTTON_RAISED);
  ASSERT_EQ(pressed.width, 95);
  const DeviceRect face = layout.outer_of(ControlId::Img_Button_2);
  const DeviceRect label = layout.outer_of(ControlId::lbl_Button_2);
  const LPARAM on_label = MAKELPARAM((label.left + label.right) / 2, (label.top + label.bottom) / 2);
  // A point of the face that no text covers: its left margin, half-way down.
  const auto shows = [&](const Capture& shown, const Picture& wanted) {
    int same = 0;
    for (int y = 3; y < 19; ++y) same += shown.at(face.left + 3, face.top + y) == colour_of(wanted, 3, y) ? 1 : 0;
    return same == 16;
  };

  bool closed_by_the_release = false;
  run_dialog({
      [&](HWND dialog) { EXPECT_TRUE(shows(capture_client(dialog), raised)) << "raised at load"; },
      [&](HWND dialog) { SendMessageW(dialog, WM_RBUTTONDOWN, MK_RBUTTON, on_label); },
      [&](HWND dialog) {
        EXPECT_TRUE(shows(capture_client(dialog), pressed)) << "the right button presses too";
        // "ｷｬﾝｾﾙ" closes the dialog on the release of whichever button.
        SendMessageW(dialog, WM_RBUTTONUP, 0, on_label);
        closed_by_the_release = !IsWindow(dialog);
      },
  });
  EXPECT_TRUE(closed_by_the_release);
}

TEST_F(SettingsDialogTest, TheHandShowsOverExactlyTheClickableControls) {
  const HCURSOR hand = static_cast<HCURSOR>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDC_DIALOG_HAND),
                                                       IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  ASSERT_NE(hand, nullptr);
  run_dialog({[&](HWND dialog) {
    POINT origin{0, 0};
    ClientToScreen(dialog, &origin);
    for (const ControlSpec& entry : control_table()) {
      if (entry.off_screen || entry.kind == ControlKind::PictureBox) continue;
      const DeviceRect place = layout.outer_of(entry.id);
      // A face or plate shows only around its label; a label sizing itself
      // to its text is entered just inside its left edge.
      const bool under_a_label = entry.kind == ControlKind::Image && entry.rect.width > 13;
      POINT point{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
      if (under_a_label) point = {place.left + 1, place.top + 1};
      if (entry.auto_size) point = {place.left + 3, place.top + 6};
      point.x += origin.x;
      point.y += origin.y;
      SetCursorPos(point.x, point.y);
      SetCursor(nullptr);
      const HWND under = WindowFromPoint(point);
      SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
      EXPECT_EQ(GetCursor() == hand, entry.hand_cursor) << entry.name << " " << entry.index;
    }
  }});
}

}  // namespace
}  // namespace vantrel
