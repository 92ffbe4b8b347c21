#pragma once
// Conversion between the program's UTF-8 and the code-page-932 (Shift JIS)
// bytes of the settings file. The conversion tables belong to the platform.

#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

class TextCodec {
 public:
  virtual ~TextCodec() = default;

  // The code-page-932 bytes of `utf8`, or nothing when any character has no
  // exact code-page-932 form (it would otherwise be written mangled).
  virtual std::optional<std::string> to_cp932(std::string_view utf8) const = 0;

  // The UTF-8 text of code-page-932 bytes; bytes that form no character become
  // U+FFFD.
  virtual std::string from_cp932(std::string_view cp932) const = 0;
};

}  // namespace vantrel
