// The preview form's painting, with the pane in this process. (Under Wine a
// child window only reaches the screen through its top-level window's own
// process, so the real cross-process case cannot show pixels there; this
// test proves what the form paints and where.)
#include "startup/preview_form_win32.h"

#include <gtest/gtest.h>

#include <optional>
#include <string_view>

#include "platform/picture_decoder_win32.h"
#include "resources/resource_ids.h"
#include "startup/preview_layout.h"
#include "support/screen_capture.h"

namespace vantrel {
namespace {

constexpr COLORREF kPaneColour = RGB(255, 0, 255);

using testing::Capture;
using testing::capture_client;

// The control panel's part: a host window with a pane. The timer captures the
// pane once the form has painted, then destroys the pane, which must end the
// preview's message loop.
class PreviewFormTest : public ::testing::TestWithParam<SIZE> {
 protected:
  static inline Capture captured;
  static inline HWND pane = nullptr;

  static void CALLBACK capture_and_close(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    captured = capture_client(pane);
    DestroyWindow(pane);
  }

  void SetUp() override {
    WNDCLASSW pane_class{};
    pane_class.lpfnWndProc = DefWindowProcW;
    pane_class.hInstance = GetModuleHandleW(nullptr);
    pane_class.hbrBackground = CreateSolidBrush(kPaneColour);
    pane_class.lpszClassName = L"PreviewFormTestPane";
    RegisterClassW(&pane_class);
    host_ = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 50, 50, 500, 400, nullptr,
                            nullptr, nullptr, nullptr);
    pane = CreateWindowExW(0, L"PreviewFormTestPane", L"", WS_CHILD | WS_VISIBLE, 20, 20, GetParam().cx,
                           GetParam().cy, host_, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(pane, nullptr);
    UpdateWindow(host_);
  }
  void TearDown() override { DestroyWindow(host_); }

  HWND host_ = nullptr;
};

TEST_P(PreviewFormTest, ShowsTheStillAtItsOwnSizeFromTheTopLeftOverBlack) {
  // The test program carries the same resources as Vantrel.scr.
  const HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_PREVIEW_STILL), MAKEINTRESOURCEW(10));
  ASSERT_NE(found, nullptr);
  const std::string_view jpeg(static_cast<const char*>(LockResource(LoadResource(nullptr, found))),
                              SizeofResource(nullptr, found));
  Win32PictureDecoder decoder;
  const std::optional<Picture> still = decoder.decode_bytes(jpeg, 1024);
  ASSERT_TRUE(still);
  ASSERT_EQ(still->width, kPreviewPictureWidth);
  ASSERT_EQ(still->height, kPreviewPictureHeight);

  SetTimer(nullptr, 0, 700, capture_and_close);
  EXPECT_EQ(run_preview_window(GetModuleHandleW(nullptr), pane), 0);  // returns once the pane is gone

  const SIZE size = GetParam();
  ASSERT_EQ(captured.width, size.cx);
  ASSERT_EQ(captured.height, size.cy);
  int wrong = 0;
  for (int y = 0; y < size.cy; ++y) {
    for (int x = 0; x < size.cx; ++x) {
      const COLORREF shown = captured.at(x, y);
      if (x < still->width && y < still->height) {
        const std::uint8_t* p = &still->rgba[(static_cast<std::size_t>(y) * still->width + x) * 4];
        wrong += (GetRValue(shown) == p[0] && GetGValue(shown) == p[1] && GetBValue(shown) == p[2]) ? 0 : 1;
      } else {
        wrong += shown == RGB(0, 0, 0) ? 0 : 1;  // the form's black beside and below the picture
      }
    }
  }
  EXPECT_EQ(wrong, 0) << "of " << size.cx * size.cy << " pixels";
}

INSTANTIATE_TEST_SUITE_P(Panes, PreviewFormTest,
                         ::testing::Values(SIZE{152, 112}, SIZE{300, 200}, SIZE{100, 80}));

TEST(PreviewForm, EndsAtOnceWithoutAPane) {
  EXPECT_EQ(run_preview_window(GetModuleHandleW(nullptr), nullptr), 0);
  // A number that names no window.
  EXPECT_EQ(run_preview_window(GetModuleHandleW(nullptr), reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7FFF0))), 0);
}

}  // namespace
}  // namespace vantrel
