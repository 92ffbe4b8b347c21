#pragma once
// Draws the settings dialog with GDI. Each picture box (Pic_C, both panels and
// Pic_K) keeps a persistent image of its own in an off-screen bitmap, made
// from the presenter's state when that changes. A paint composes the client
// area from those images, the borders, and the windowless labels and images
// over them, in a bitmap of its own before it reaches the screen, so nothing
// flickers.

#include <windows.h>

#include <array>
#include <memory>

#include "dialog/dialog_font_win32.h"
#include "dialog/dialog_layout.h"
#include "dialog/dialog_pictures_win32.h"
#include "dialog/dialog_state.h"
#include "platform/handles_win32.h"
#include "platform/offscreen_bitmap_win32.h"

namespace vantrel {

class DialogPainter {
 public:
  explicit DialogPainter(DialogPictures& pictures) : pictures_(pictures) {}

  // The first layout, or a new one after a DPI change: every persistent image
  // is made again from `state`. The fonts must live as long as the layout.
  void set_layout(const DialogLayout& layout, const DialogFonts& fonts, const DialogState& state);

  // Makes a box's persistent image anew from `state`: the texture (or the
  // box's own colour before it is tiled) for Pic_C and the panels; the light
  // grey, the preview picture and the raised edge for Pic_K.
  void update_surface(ControlId box, const DialogState& state);

  // Paints the `dirty` part of the client area into `target`.
  void paint(HDC target, const RECT& dirty, const DialogState& state);

  // The part of the client area a change of `control` may repaint: its place,
  // what its text may overflow into, Pic_K at its largest.
  DeviceRect repaint_area(ControlId control) const;

  // Where a label draws its text and border now: a right-aligned label too
  // narrow for its text grows to the left (the count of a large folder is
  // never cut off); every other control is at its place.
  DeviceRect drawn_rect(ControlId control, const DialogState& state) const;

 private:
  void draw_box(HDC dc, ControlId box, const RECT& dirty, const DialogState& state) const;
  void draw_windowless(HDC dc, const ControlSpec& entry, const DialogState& state) const;
  void draw_label(HDC dc, const ControlSpec& entry, const DialogState& state) const;
  int text_width(const std::string& utf8, bool underlined) const;

  DialogPictures& pictures_;
  DialogLayout layout_;
  const DialogFonts* fonts_ = nullptr;
  // Persistent images of Pic_C, Pic_B(0), Pic_B(1) and Pic_K, by ControlId.
  std::array<OffscreenBitmap, kControlCount> surfaces_;
  // The client area composed before it is copied to the screen.
  OffscreenBitmap frame_;
  // The bitmap of the picture Pic_K shows, made once per picture.
  std::shared_ptr<const PreviewPicture> preview_shown_;
  GdiObject preview_bitmap_;
};

}  // namespace vantrel
