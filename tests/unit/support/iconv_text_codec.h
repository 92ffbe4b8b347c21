#pragma once
// A TextCodec for native tests on glibc's "CP932" tables, which agree with the
// system's code page 932 for the characters the tests use (key names, kanji,
// kana, half-width katakana).

#include <iconv.h>

#include <cerrno>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/text_codec.h"

namespace vantrel::testing {

class IconvTextCodec : public TextCodec {
 public:
  std::optional<std::string> to_cp932(std::string_view utf8) const override {
    return convert("CP932", "UTF-8", utf8, Invalid::Refuse);
  }
  std::string from_cp932(std::string_view cp932) const override {
    return *convert("UTF-8", "CP932", cp932, Invalid::Replace);
  }

 private:
  enum class Invalid { Refuse, Replace };
  struct Closer {
    void operator()(std::remove_pointer_t<iconv_t>* handle) const { iconv_close(handle); }
  };

  static std::optional<std::string> convert(const char* to, const char* from, std::string_view input,
                                            Invalid invalid) {
    const iconv_t opened = iconv_open(to, from);
    if (opened == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv has no CP932");
    const std::unique_ptr<std::remove_pointer_t<iconv_t>, Closer> conversion(opened);

    std::string output;
    char* in = const_cast<char*>(input.data());  // iconv's signature; it does not write
    std::size_t in_left = input.size();
    while (in_left > 0) {
      char buffer[256];
      char* out = buffer;
      std::size_t out_left = sizeof buffer;
      const std::size_t done = iconv(conversion.get(), &in, &in_left, &out, &out_left);
      output.append(buffer, static_cast<std::size_t>(out - buffer));
      if (done == static_cast<std::size_t>(-1)) {
        if (errno == E2BIG) continue;
        if (invalid == Invalid::Refuse) return std::nullopt;
        output += "\xEF\xBF\xBD";  // U+FFFD for the byte that starts no character
        ++in;
        --in_left;
      } else if (done > 0 && invalid == Invalid::Refuse) {
        return std::nullopt;  // an inexact (irreversible) substitute was made
      }
    }
    return output;
  }
};

}  // namespace vantrel::testing
