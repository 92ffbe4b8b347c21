#pragma once
// TextCodec on the system's own code-page-932 tables. Used whatever the
// system's code page is: the conversion names page 932 explicitly.

#include "platform/text_codec.h"

namespace vantrel {

class Win32TextCodec final : public TextCodec {
 public:
  // Nothing when a character has no exact code-page-932 form: no best-fit
  // substitute ("é" never becomes "e") and no default character.
  std::optional<std::string> to_cp932(std::string_view utf8) const override;

  // Each byte sequence that forms no code-page-932 character becomes U+FFFD.
  std::string from_cp932(std::string_view cp932) const override;
};

}  // namespace vantrel
