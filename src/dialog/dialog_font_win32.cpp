#include "dialog/dialog_font_win32.h"

#include <array>
#include <string_view>

#include "dialog/control_table.h"
#include "dialog/dialog_layout.h"
#include "platform/wide_text_win32.h"

namespace vantrel {
namespace {

// Characters of the dialog's own captions: kanji, hiragana, half-width and
// full-width katakana.
constexpr wchar_t kSample[] = L"画像のﾌｧｲﾙ設定ｷｬﾝｾﾙ球爆発拡散速ＯＫ";

GdiObject make_font(const std::wstring& face, int dpi, bool underline) {
  LOGFONTW font{};
  font.lfHeight = -font_pixel_height(dpi);
  font.lfWeight = FW_NORMAL;
  font.lfUnderline = underline ? TRUE : FALSE;
  font.lfCharSet = SHIFTJIS_CHARSET;
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
  const std::wstring wanted = to_wide(kDialogFontFace);
  // The same font under its Japanese and its English name.
  if (is_usable(wanted, {wanted, L"MS PGothic"})) return wanted;
  for (const wchar_t* face : {L"Yu Gothic UI", L"Meiryo UI", L"MS UI Gothic"}) {
    if (is_usable(face, {face})) return face;
  }
  // None of them: the system's own choice for Japanese text.
  return wanted;
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
