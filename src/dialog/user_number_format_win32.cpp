#include "dialog/user_number_format_win32.h"

#include <windows.h>

#include "platform/wide_text_win32.h"

namespace vantrel {
namespace {

std::wstring user_locale_text(LCTYPE item) {
  wchar_t text[16] = {};
  const int length = GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, item, text, 16);
  return length > 1 ? std::wstring(text, static_cast<std::size_t>(length - 1)) : std::wstring();
}

}  // namespace

DigitGrouping user_digit_grouping() {
  const std::wstring separator = user_locale_text(LOCALE_STHOUSAND);
  const std::wstring sizes = user_locale_text(LOCALE_SGROUPING);
  if (sizes.empty()) return DigitGrouping{separator.empty() ? std::string(",") : to_utf8(separator)};
  return grouping_from_locale(to_utf8(sizes), to_utf8(separator));
}

}  // namespace vantrel
