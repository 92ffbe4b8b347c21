#include "dialog/dialog_painter_win32.h"

#include <algorithm>

#include "dialog/text_fitting.h"
#include "dialog/tiling.h"
#include "platform/dib_win32.h"
#include "platform/wide_text_win32.h"

namespace vantrel {
namespace {

constexpr COLORREF kUntiledBackground = RGB(128, 128, 128);  // Pic_C before the load tiles it
constexpr COLORREF kPreviewBackground = RGB(224, 224, 224);  // Pic_K without a picture
// The labels' text on the light paper texture: dark, whatever the system's
// colours, since the texture is the dialog's own and not the system's.
constexpr COLORREF kInk = RGB(0, 0, 0);
// Folder_Path shows at most this many lines; a longer path loses its middle.
constexpr int kPathLines = 2;

constexpr std::array<ControlId, 3> kBackgroundBoxes = {ControlId::Pic_C, ControlId::Pic_B_0, ControlId::Pic_B_1};

RECT to_rect(const DeviceRect& r) { return {r.left, r.top, r.right, r.bottom}; }

bool intersects(const DeviceRect& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

// An edge of two rings, each drawn with the system's DrawEdge as many times
// as it is thick: at 96 DPI exactly DrawEdge's two-pixel edge, at higher
// DPI the same edge thicker.
void draw_edge(HDC dc, DeviceRect rect, UINT outer_ring, int outer_thickness, UINT inner_ring, int inner_thickness) {
  for (int i = 0; i < outer_thickness + inner_thickness; ++i) {
    RECT ring = to_rect(rect);
    DrawEdge(dc, &ring, i < outer_thickness ? outer_ring : inner_ring, BF_RECT);
    rect = {rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
    if (rect.width() <= 0 || rect.height() <= 0) return;
  }
}

// The outer ring of an edge is one pixel at 96 DPI, scaled; the inner takes
// the rest of `total`.
int outer_ring_thickness(int dpi) { return std::max(1, scale_to_dpi(1, dpi)); }

void fill(HDC dc, const RECT& rect, COLORREF colour) {
  const HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &rect, brush);
  DeleteObject(brush);
}

void blit(HDC target, int x, int y, int width, int height, HBITMAP bitmap) {
  if (!bitmap) return;
  const HDC source = CreateCompatibleDC(target);
  if (!source) return;
  const HGDIOBJ previous = SelectObject(source, bitmap);
  BitBlt(target, x, y, width, height, source, 0, 0, SRCCOPY);
  SelectObject(source, previous);
  DeleteDC(source);
}

}  // namespace

void DialogPainter::set_layout(const DialogLayout& layout, const DialogFonts& fonts, const DialogState& state) {
  layout_ = layout;
  fonts_ = &fonts;
  pictures_.forget_scaled();
  for (const ControlId box : kBackgroundBoxes) update_surface(box, state);
  update_surface(ControlId::Pic_K, state);
}

void DialogPainter::update_surface(ControlId box, const DialogState& state) {
  if (box == ControlId::Pic_K) {
    const DeviceRect place = preview_rect(layout_, state.preview_size.width, state.preview_size.height);
    OffscreenBitmap& surface = surfaces_[index_of(box)];
    if (!surface || surface.width() != place.width() || surface.height() != place.height())
      surface = OffscreenBitmap(nullptr, place.width(), place.height());
    if (!surface) return;
    const HDC dc = surface.dc();
    fill(dc, RECT{0, 0, surface.width(), surface.height()}, kPreviewBackground);
    if (state.preview_picture) {
      if (state.preview_picture != preview_shown_) {
        preview_bitmap_ = make_dib(state.preview_picture->pixels);
        preview_shown_ = state.preview_picture;
      }
      // Sampled for this display it is an exact copy; after a DPI change,
      // until it is sampled anew, it is stretched in the same manner.
      const Picture& pixels = state.preview_picture->pixels;
      const HDC source = CreateCompatibleDC(dc);
      if (source && preview_bitmap_) {
        const HGDIOBJ previous = SelectObject(source, preview_bitmap_.get());
        SetStretchBltMode(dc, COLORONCOLOR);
        StretchBlt(dc, 0, 0, surface.width(), surface.height(), source, 0, 0, pixels.width, pixels.height, SRCCOPY);
        SelectObject(source, previous);
      }
      if (source) DeleteDC(source);
    } else {
      preview_shown_.reset();
      preview_bitmap_.reset();
    }
    if (state.preview_edge) {
      const int outer = outer_ring_thickness(layout_.dpi);
      draw_edge(dc, {0, 0, surface.width(), surface.height()}, BDR_RAISEDOUTER, outer, BDR_RAISEDINNER,
                std::max(1, scale_to_dpi(2, layout_.dpi) - outer));
    }
    return;
  }

  const DeviceRect inner = layout_.inner_of(box);
  const DeviceRect outer = layout_.outer_of(box);
  OffscreenBitmap& surface = surfaces_[index_of(box)];
  if (!surface || surface.width() != inner.width() || surface.height() != inner.height())
    surface = OffscreenBitmap(nullptr, inner.width(), inner.height());
  if (!surface) return;
  const RECT all{0, 0, surface.width(), surface.height()};
  fill(surface.dc(), all, box == ControlId::Pic_C ? kUntiledBackground : GetSysColor(COLOR_BTNFACE));
  if (!state.tiled[index_of(box)]) return;
  const DeviceSize own = pictures_.texture_size();
  const DeviceSize tile{scale_to_dpi(own.width, layout_.dpi), scale_to_dpi(own.height, layout_.dpi)};
  if (const HBITMAP texture = pictures_.texture(tile)) {
    for (const TilePosition& at : Tile_Picture(tile.width, tile.height, outer.width(), outer.height()))
      blit(surface.dc(), at.x, at.y, tile.width, tile.height, texture);
  }
}

void DialogPainter::paint(HDC target, const RECT& dirty, const DialogState& state) {
  const DeviceSize client = layout_.client();
  if (!frame_ || frame_.width() != client.width || frame_.height() != client.height)
    frame_ = OffscreenBitmap(target, client.width, client.height);
  if (!frame_) return;
  const HDC dc = frame_.dc();
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, dirty.left, dirty.top, dirty.right, dirty.bottom);
  SetBkMode(dc, TRANSPARENT);
  for (const ControlId box : kBackgroundBoxes) draw_box(dc, box, dirty, state);
  RestoreDC(dc, saved);
  BitBlt(target, dirty.left, dirty.top, dirty.right - dirty.left, dirty.bottom - dirty.top, dc, dirty.left, dirty.top,
         SRCCOPY);
}

// A box's border and persistent image, then what lies in it: its windowless
// controls, drawn from the last in the table to the first so that a label
// lies over the face or plate listed after it, and Pic_K over all of them.
void DialogPainter::draw_box(HDC dc, ControlId box, const RECT& dirty, const DialogState& state) const {
  const DeviceRect outer = layout_.outer_of(box);
  const DeviceRect inner = layout_.inner_of(box);
  const int outer_ring = outer_ring_thickness(layout_.dpi);
  draw_edge(dc, outer, BDR_SUNKENOUTER, outer_ring, BDR_SUNKENINNER, std::max(1, layout_.box_border - outer_ring));
  const OffscreenBitmap& surface = surfaces_[index_of(box)];
  if (surface) BitBlt(dc, inner.left, inner.top, inner.width(), inner.height(), surface.dc(), 0, 0, SRCCOPY);

  const int saved = SaveDC(dc);
  IntersectClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
  const auto& table = control_table();
  for (auto entry = table.rbegin(); entry != table.rend(); ++entry) {
    if (box_of(entry->parent) == box && !entry->off_screen && intersects(repaint_area(entry->id), dirty))
      draw_windowless(dc, *entry, state);
  }
  if (box == ControlId::Pic_B_0) {
    const OffscreenBitmap& preview = surfaces_[index_of(ControlId::Pic_K)];
    const DeviceRect place = layout_.outer_of(ControlId::Pic_K);
    if (preview) BitBlt(dc, place.left, place.top, preview.width(), preview.height(), preview.dc(), 0, 0, SRCCOPY);
  }
  RestoreDC(dc, saved);
}

void DialogPainter::draw_windowless(HDC dc, const ControlSpec& entry, const DialogState& state) const {
  if (entry.kind == ControlKind::Label) {
    draw_label(dc, entry, state);
  } else if (entry.kind == ControlKind::Image) {
    if (const auto picture = state.pictures[index_of(entry.id)]) {
      const DeviceRect place = layout_.outer_of(entry.id);
      // Stretched to the image's own size (Img_H(2) and (3), Img_Button(0)).
      blit(dc, place.left, place.top, place.width(), place.height(),
           pictures_.picture(*picture, {place.width(), place.height()}));
    }
  }
}

void DialogPainter::draw_label(HDC dc, const ControlSpec& entry, const DialogState& state) const {
  const DeviceRect outer = drawn_rect(entry.id, state);
  if (entry.border) {
    draw_edge(dc, outer, BDR_SUNKENOUTER, layout_.label_border, 0, 0);
  }
  const std::string& caption = state.captions[index_of(entry.id)];
  if (caption.empty() || !fonts_) return;
  const int border = entry.border ? layout_.label_border : 0;
  RECT text{outer.left + border, outer.top + border, outer.right - border, outer.bottom - border};
  COLORREF colour = kInk;
  if (entry.id == ControlId::lbl_URL) {
    colour = state.link_colour ? RGB(state.link_colour->red, state.link_colour->green, state.link_colour->blue)
                               : GetSysColor(COLOR_WINDOWTEXT);
  }
  SetTextColor(dc, colour);
  const HGDIOBJ previous = SelectObject(dc, (entry.underline ? fonts_->underlined : fonts_->regular).get());
  UINT format = DT_NOPREFIX | DT_SINGLELINE;
  format |= entry.alignment == Alignment::Centre ? DT_CENTER : entry.alignment == Alignment::Right ? DT_RIGHT : DT_LEFT;
  if (entry.id == ControlId::Folder_Path) {
    // A path breaks between any two characters and fills the label's lines;
    // one too long for them loses its middle, never its end.
    const auto width_of = [&](std::string_view part) {
      const std::wstring wide = to_wide(part);
      SIZE size{};
      GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
      return static_cast<int>(size.cx);
    };
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, text.left, text.top, text.right, text.bottom);
    const std::vector<std::string> lines = fit_into_lines(caption, text.right - text.left, kPathLines, width_of);
    // Lines follow at the font's own distance where the label is high enough;
    // where it is a little low for them (fonts differ in their leading) they
    // move closer, so that the last line is whole at the bottom.
    int pitch = fonts_->line_height;
    if (lines.size() > 1)
      pitch = std::min(pitch, static_cast<int>((text.bottom - text.top - fonts_->line_height) / static_cast<int>(lines.size() - 1)));
    RECT line = text;
    for (const std::string& part : lines) {
      const std::wstring wide = to_wide(part);
      DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &line, format | DT_NOCLIP);
      line.top += pitch;
    }
    RestoreDC(dc, saved);
  } else {
    // One line, not cut at the label's edges: a font a little wider than the
    // one the places were made for still shows every character.
    const std::wstring wide = to_wide(caption);
    DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &text, format | DT_NOCLIP);
  }
  SelectObject(dc, previous);
}

int DialogPainter::text_width(const std::string& utf8, bool underlined) const {
  if (!fonts_ || utf8.empty()) return 0;
  const HDC screen = GetDC(nullptr);
  if (!screen) return 0;
  const HGDIOBJ previous = SelectObject(screen, (underlined ? fonts_->underlined : fonts_->regular).get());
  const std::wstring wide = to_wide(utf8);
  SIZE size{};
  GetTextExtentPoint32W(screen, wide.c_str(), static_cast<int>(wide.size()), &size);
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
  return size.cx;
}

DeviceRect DialogPainter::drawn_rect(ControlId control, const DialogState& state) const {
  DeviceRect rect = layout_.outer_of(control);
  const ControlSpec& entry = spec_of(control);
  if (entry.kind == ControlKind::Label && entry.border && entry.alignment == Alignment::Right) {
    const int needed = text_width(state.captions[index_of(control)], entry.underline) + 2 * layout_.label_border;
    rect.left = std::min(rect.left, rect.right - needed);
  }
  return rect;
}

DeviceRect DialogPainter::repaint_area(ControlId control) const {
  const ControlSpec& entry = spec_of(control);
  const DeviceRect place = layout_.outer_of(control);
  if (control == ControlId::Pic_K) return place;  // its table size is its largest
  if (entry.kind != ControlKind::Label) return place;
  // Text may overflow sideways within its box.
  const auto box = box_of(entry.parent);
  const DeviceRect within = box ? layout_.inner_of(*box) : place;
  return {within.left, place.top, within.right, std::max(place.bottom, place.top + (fonts_ ? fonts_->line_height : 0))};
}

}  // namespace vantrel
