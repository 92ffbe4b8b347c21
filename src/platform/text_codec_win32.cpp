#include "platform/text_codec_win32.h"

#include <windows.h>

#include <climits>

#include "platform/wide_text_win32.h"

namespace vantrel {
namespace {

constexpr UINT kCodePage932 = 932;

// The UTF-16 text of code-page-932 bytes; nothing when a byte sequence forms
// no character.
std::optional<std::wstring> strict_wide_from_cp932(std::string_view bytes) {
  if (bytes.empty()) return std::wstring();
  if (bytes.size() > INT_MAX) return std::nullopt;
  const int length = static_cast<int>(bytes.size());
  const int count =
      MultiByteToWideChar(kCodePage932, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
  if (count <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(count), L'\0');
  if (MultiByteToWideChar(kCodePage932, MB_ERR_INVALID_CHARS, bytes.data(), length, wide.data(),
                          count) != count) {
    return std::nullopt;
  }
  return wide;
}

bool is_lead_byte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
// A lead byte followed by anything else is broken on its own; the byte after
// it is a character of its own again.
bool is_trail_byte(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

}  // namespace

std::optional<std::string> Win32TextCodec::to_cp932(std::string_view utf8) const {
  if (utf8.empty()) return std::string();
  const std::wstring wide = to_wide(utf8);
  // to_wide turns invalid UTF-8 into U+FFFD, which page 932 has no form for,
  // so broken input is refused below like any other unrepresentable text.
  if (wide.empty() || wide.size() > INT_MAX) return std::nullopt;
  const int length = static_cast<int>(wide.size());
  BOOL used_default = FALSE;
  const int count = WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, wide.data(), length,
                                        nullptr, 0, nullptr, &used_default);
  if (count <= 0 || used_default) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(count), '\0');
  used_default = FALSE;
  if (WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, wide.data(), length, bytes.data(),
                          count, nullptr, &used_default) != count ||
      used_default) {
    return std::nullopt;
  }
  // The flag alone is not trusted everywhere: a character is representable
  // only when its bytes convert back to it.
  const auto back = strict_wide_from_cp932(bytes);
  if (!back || *back != wide) return std::nullopt;
  return bytes;
}

std::string Win32TextCodec::from_cp932(std::string_view cp932) const {
  if (const auto wide = strict_wide_from_cp932(cp932)) return to_utf8(*wide);
  // Some sequence is broken: convert character by character so only the
  // broken ones become U+FFFD and the rest stays readable.
  std::wstring wide;
  for (std::size_t at = 0; at < cp932.size();) {
    const bool pair = is_lead_byte(static_cast<unsigned char>(cp932[at])) && at + 1 < cp932.size() &&
                      is_trail_byte(static_cast<unsigned char>(cp932[at + 1]));
    const std::size_t length = pair ? 2 : 1;
    if (const auto character = strict_wide_from_cp932(cp932.substr(at, length))) {
      wide += *character;
    } else {
      wide += L'\xFFFD';
    }
    at += length;
  }
  return to_utf8(wide);
}

}  // namespace vantrel
