#pragma once
// The font of the settings dialog's labels and list.

#include <windows.h>

#include <string>

#include "platform/handles_win32.h"

namespace vantrel {

#include <initializer_list>

// "ＭＳ Ｐゴシック" where the system has it (a Japanese Windows, or one with
// the optional Japanese fonts). Windows outside Japan installs it only on
// request, and a missing face would fall back to a font without Japanese
// glyphs: then the first of the Japanese UI fonts every current Windows has
// ("Yu Gothic UI", then "Meiryo UI", then "MS UI Gothic") that is there. A
// face counts only with every glyph of the captions, Latin letters and
// digits included. Where none is usable, the system's message font: the
// paths, numbers and link stay readable, and the system's font linking
// draws what Japanese it can.
std::wstring choose_dialog_font_face();
// The same choice among other faces: `wanted` (known also as `wanted_alias`)
// first, then `fallbacks` in order.
std::wstring choose_dialog_font_face(const std::wstring& wanted, const std::wstring& wanted_alias,
                                     std::initializer_list<const wchar_t*> fallbacks);

struct DialogFonts {
  GdiObject regular;
  GdiObject underlined;  // lbl_URL's
  int line_height = 0;   // pixels from one line of text to the next
};

// The dialog's font at `dpi`: 9.75 points, regular weight; the Shift-JIS
// character set for a Japanese face, the system's default for the message
// font.
DialogFonts make_dialog_fonts(const std::wstring& face, int dpi);

}  // namespace vantrel
