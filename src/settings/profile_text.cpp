#include "settings/profile_text.h"

#include <cstdint>
#include <utility>

namespace vantrel {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LittleEndianMark = "\xFF\xFE";
constexpr std::string_view kUtf16BigEndianMark = "\xFE\xFF";

void append_utf8(std::string& out, std::uint32_t code_point) {
  if (code_point < 0x80) {
    out += static_cast<char>(code_point);
  } else if (code_point < 0x800) {
    out += static_cast<char>(0xC0 | (code_point >> 6));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    out += static_cast<char>(0xE0 | (code_point >> 12));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code_point >> 18));
    out += static_cast<char>(0x80 | ((code_point >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code_point >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code_point & 0x3F));
  }
}

bool is_high_surrogate(std::uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low_surrogate(std::uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// One character of UTF-8 text at `at`: its code point and length, where a lone
// surrogate's three-byte form counts as a character. Nothing well-formed
// there gives length 0.
struct Decoded {
  std::uint32_t code_point = 0;
  std::size_t length = 0;
};

Decoded decode_one(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const unsigned char lead = byte(0);
  if (lead < 0x80) return {lead, 1};
  std::size_t length = 0;
  std::uint32_t code_point = 0;
  std::uint32_t smallest = 0;  // below it the form is overlong
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, code_point = lead & 0x1F, smallest = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, code_point = lead & 0x0F, smallest = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, code_point = lead & 0x07, smallest = 0x10000;
  } else {
    return {};
  }
  if (at + length > text.size()) return {};
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return {};
    code_point = (code_point << 6) | (byte(i) & 0x3F);
  }
  if (code_point < smallest || code_point > 0x10FFFF) return {};
  return {code_point, length};
}

std::string utf16_to_text(std::string_view units, bool big_endian) {
  const auto unit_at = [&](std::size_t i) {
    const auto first = static_cast<unsigned char>(units[i]);
    const auto second = static_cast<unsigned char>(units[i + 1]);
    return big_endian ? static_cast<std::uint32_t>(first << 8 | second)
                      : static_cast<std::uint32_t>(second << 8 | first);
  };
  std::string text;
  text.reserve(units.size() + units.size() / 2);
  for (std::size_t i = 0; i + 1 < units.size(); i += 2) {
    const std::uint32_t unit = unit_at(i);
    if (is_high_surrogate(unit) && i + 3 < units.size() && is_low_surrogate(unit_at(i + 2))) {
      append_utf8(text, 0x10000 + ((unit - 0xD800) << 10) + (unit_at(i + 2) - 0xDC00));
      i += 2;
    } else {
      append_utf8(text, unit);  // a lone surrogate too: it must come back as it was
    }
  }
  return text;
}

std::string text_to_utf16(std::string_view text, bool big_endian) {
  std::string units;
  units.reserve(text.size() * 2);
  const auto put = [&](std::uint32_t unit) {
    const auto high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    units += big_endian ? high : low;
    units += big_endian ? low : high;
  };
  for (std::size_t at = 0; at < text.size();) {
    const Decoded decoded = decode_one(text, at);
    if (decoded.length == 0) {
      put(0xFFFD);
      ++at;
      continue;
    }
    if (decoded.code_point >= 0x10000) {
      put(0xD800 + ((decoded.code_point - 0x10000) >> 10));
      put(0xDC00 + ((decoded.code_point - 0x10000) & 0x3FF));
    } else {
      put(decoded.code_point);
    }
    at += decoded.length;
  }
  return units;
}

// Strict UTF-8: no surrogate's form either.
bool is_well_formed_utf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    if (static_cast<unsigned char>(text[at]) < 0x80) {  // the common case, quickly
      ++at;
      continue;
    }
    const Decoded decoded = decode_one(text, at);
    if (decoded.length == 0 || is_high_surrogate(decoded.code_point) || is_low_surrogate(decoded.code_point))
      return false;
    at += decoded.length;
  }
  return true;
}

}  // namespace

TextForm form_of(ProfileEncoding encoding) {
  return encoding == ProfileEncoding::CodePage932 ? TextForm::CodePage932 : TextForm::Utf8;
}

ProfileText decode_profile_text(std::string bytes) {
  const std::string_view view = bytes;
  ProfileText decoded;
  if (view.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
    decoded.mark = std::string(kUtf8Mark);
    if (is_well_formed_utf8(view.substr(kUtf8Mark.size()))) decoded.encoding = ProfileEncoding::Utf8;
    bytes.erase(0, kUtf8Mark.size());
    decoded.text = std::move(bytes);
    return decoded;
  }
  for (const auto& [mark, encoding] : {std::pair{kUtf16LittleEndianMark, ProfileEncoding::Utf16LittleEndian},
                                       std::pair{kUtf16BigEndianMark, ProfileEncoding::Utf16BigEndian}}) {
    if (view.substr(0, mark.size()) != mark) continue;
    const std::string_view units = view.substr(mark.size());
    decoded.encoding = encoding;
    decoded.mark = std::string(mark);
    decoded.text = utf16_to_text(units, encoding == ProfileEncoding::Utf16BigEndian);
    if (units.size() % 2 != 0) decoded.stray_byte = std::string(units.substr(units.size() - 1));
    return decoded;
  }
  decoded.text = std::move(bytes);
  return decoded;
}

std::string encode_profile_text(ProfileText text) {
  switch (text.encoding) {
    case ProfileEncoding::CodePage932:
    case ProfileEncoding::Utf8:
      text.text.insert(0, text.mark);
      return std::move(text.text);
    case ProfileEncoding::Utf16LittleEndian:
    case ProfileEncoding::Utf16BigEndian:
      break;
  }
  std::string bytes = std::move(text.mark);
  bytes += text_to_utf16(text.text, text.encoding == ProfileEncoding::Utf16BigEndian);
  bytes += text.stray_byte;
  return bytes;
}

std::string well_formed_utf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t at = 0; at < utf8.size();) {
    const Decoded decoded = decode_one(utf8, at);
    if (decoded.length == 0 || (decoded.code_point >= 0xD800 && decoded.code_point <= 0xDFFF)) {
      out += "\xEF\xBF\xBD";
      at += decoded.length == 0 ? 1 : decoded.length;
      continue;
    }
    out.append(utf8.substr(at, decoded.length));
    at += decoded.length;
  }
  return out;
}

}  // namespace vantrel
