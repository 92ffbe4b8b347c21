// Which face the dialog's labels get: the Japanese one where the system has
// it, and where it has none, a face in which digits, paths and the link
// still read.
#include "dialog/dialog_font_win32.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace vantrel {
namespace {

// True when the font draws every one of `text`'s characters from glyphs of
// its own (none stands in as a box).
bool draws_all_of(const std::wstring& face, const std::wstring& text) {
  const DialogFonts fonts = make_dialog_fonts(face, 96);
  const HDC screen = GetDC(nullptr);
  const HGDIOBJ previous = SelectObject(screen, fonts.regular.get());
  std::wstring glyphs(text.size(), L'\0');
  const DWORD done = GetGlyphIndicesW(screen, text.c_str(), static_cast<int>(text.size()),
                                      reinterpret_cast<WORD*>(glyphs.data()), GGI_MARK_NONEXISTING_GLYPHS);
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
  return done != GDI_ERROR && glyphs.find(static_cast<wchar_t>(0xFFFF)) == std::wstring::npos;
}

TEST(DialogFont, WithoutAnyJapaneseFaceTheMessageFontKeepsLatinTextReadable) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0));
  const std::wstring chosen =
      choose_dialog_font_face(L"No Such Gothic", L"No Such Gothic Alias", {L"No Such UI", L"Nor This UI"});
  EXPECT_EQ(chosen, std::wstring(metrics.lfMessageFont.lfFaceName));
  EXPECT_TRUE(draws_all_of(chosen, L"0123456789 Min Max C:\\Pictures\\a.jpg http://www.example.jp/"));
}

TEST(DialogFont, TheJapaneseFaceIsChosenWhereTheSystemHasIt) {
  // The test prefix maps "ＭＳ Ｐゴシック" to IPAPGothic, which has every glyph.
  const std::wstring chosen = choose_dialog_font_face();
  EXPECT_EQ(chosen, L"ＭＳ Ｐゴシック");
  EXPECT_TRUE(draws_all_of(chosen, L"画像のﾌｧｲﾙ 0123456789 Min Max"));
}

}  // namespace
}  // namespace vantrel
