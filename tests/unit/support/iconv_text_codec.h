#pragma once
// A TextCodec for native tests on glibc's "CP932" tables, which agree with the
// system's code page 932 for the characters the tests use (key names, kanji,
// kana, half-width katakana).

#include <iconv.h>

#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "platform/text_codec.h"

namespace vantrel::testing {

class IconvTextCodec : public TextCodec {
 public:
  std::optional<std::string> to_cp932(std::string_view utf8) const override {
    return convert("CP932", "UTF-8", utf8, false);
  }
  std::string from_cp932(std::string_view cp932) const override {
    return *convert("UTF-8", "CP932", cp932, true);
  }

 private:
  // Refuses (nothing) on a character without an exact form unless
  // `replace_invalid`, which turns each byte that starts no character into U+FFFD.
  static std::optional<std::string> convert(const char* to, const char* from, std::string_view input,
                                            bool replace_invalid) {
    const iconv_t opened = iconv_open(to, from);
    if (opened == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv has no CP932");
    const std::unique_ptr<void, int (*)(iconv_t)> closer(opened, iconv_close);

    // Room enough in one go: no character or U+FFFD takes more than 3 bytes
    // per input byte either way.
    std::string output(input.size() * 3, '\0');
    char* in = const_cast<char*>(input.data());  // iconv's signature; it does not write
    std::size_t in_left = input.size();
    char* out = output.data();
    std::size_t out_left = output.size();
    for (;;) {
      const std::size_t inexact = iconv(opened, &in, &in_left, &out, &out_left);
      if (inexact == 0 || (replace_invalid && inexact != static_cast<std::size_t>(-1))) break;
      if (!replace_invalid) return std::nullopt;  // no exact form, or an irreversible substitute
      std::memcpy(out, "\xEF\xBF\xBD", 3);
      out += 3;
      out_left -= 3;
      ++in;
      --in_left;
    }
    output.resize(static_cast<std::size_t>(out - output.data()));
    return output;
  }
};

}  // namespace vantrel::testing
