#include "dialog/dialog_font_win32.h"

#include <array>
#include <string_view>

#include "dialog/control_table.h"
#include "dialog/dialog_layout.h"
#include "platform/wide_text_win32.h"

namespace vantrel {
namespace {

// Characters of the dialog's own captions: kanji, hiragana, half-width and
// full-width katakana; and of what it shows besides: digits, the sliders'
// "Min" and "Max", paths and the link's address.
constexpr wchar_t kSample[] = L"画像のﾌｧｲﾙ設定ｷｬﾝｾﾙ球爆発拡散速ＯＫ0123456789MinMaxC:\\/.-_htpw";

// The system's font for message boxes: a face with Latin glyphs on every system.
std::wstring message_font_face() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return L"";
  return metrics.lfMessageFont.lfFaceName;
}

GdiObject make_font(const std::wstring& face, int dpi, bool underline) {
  LOGFONTW font{};
  font.lfHeight = -font_pixel_height(dpi);
  font.lfWeight = FW_NORMAL;
  font.lfUnderline = underline ? TRUE : FALSE;
  // The message font is asked for as it is; a Japanese face in Shift-JIS, so
  // that the mapper never settles for a substitute without Japanese.
  font.lfCharSet = face == message_font_face() ? DEFAULT_CHARSET : SHIFTJIS_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  face.copy(font.lfFaceName, LF_FACESIZE - 1);
  return GdiObject(CreateFontIndirectW(&font));
}

// True when asking for `face` gets that font (by either of its names, or as
// the system's substitute for it) and it has every glyph of the captions.
bool is_usable(const std::wstring& face, std::initializer_list<std::wstring_view> names) {
  const HDC screen = GetDC(nullptr);
  if (!screen) return false;
  bool usable = false;
  if (const GdiObject font = make_font(face, kDefaultDpi, false)) {
    const HGDIOBJ previous = SelectObject(screen, font.get());
    wchar_t chosen[LF_FACESIZE] = {};
    GetTextFaceW(screen, LF_FACESIZE, chosen);
    for (const std::wstring_view name : names) usable = usable || CompareStringOrdinal(chosen, -1, name.data(), static_cast<int>(name.size()), TRUE) == CSTR_EQUAL;
    std::array<WORD, std::size(kSample)> glyphs{};
    if (usable && GetGlyphIndicesW(screen, kSample, static_cast<int>(std::size(kSample) - 1), glyphs.data(),
                                   GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR) {
      usable = false;
    }
    for (std::size_t i = 0; usable && i + 1 < std::size(kSample); ++i) usable = glyphs[i] != 0xFFFF;
    SelectObject(screen, previous);
  }
  ReleaseDC(nullptr, screen);
  return usable;
}

}  // namespace

std::wstring choose_dialog_font_face() {
  // The same font under its Japanese and its English name.
  return choose_dialog_font_face(to_wide(kDialogFontFace), L"MS PGothic",
                                 {L"Yu Gothic UI", L"Meiryo UI", L"MS UI Gothic"});
}

std::wstring choose_dialog_font_face(const std::wstring& wanted, const std::wstring& wanted_alias,
                                     std::initializer_list<const wchar_t*> fallbacks) {
  if (is_usable(wanted, {wanted, wanted_alias})) return wanted;
  for (const wchar_t* face : fallbacks) {
    if (is_usable(face, {face})) return face;
  }
  const std::wstring message_face = message_font_face();
  return message_face.empty() ? wanted : message_face;
}

DialogFonts make_dialog_fonts(const std::wstring& face, int dpi) {
  DialogFonts fonts{make_font(face, dpi, false), make_font(face, dpi, true), font_pixel_height(dpi)};
  if (const HDC screen = GetDC(nullptr)) {
    const HGDIOBJ previous = SelectObject(screen, fonts.regular.get());
    TEXTMETRICW metrics{};
    if (GetTextMetricsW(screen, &metrics)) fonts.line_height = metrics.tmHeight + metrics.tmExternalLeading;
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
  }
  return fonts;
}

}  // namespace vantrel
