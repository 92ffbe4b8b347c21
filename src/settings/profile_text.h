#pragma once
// A settings file's bytes and the text the format (ini_file.h) works on, both
// ways, as the system's private-profile services tell a file's encoding: by
// its byte order mark alone.
//
// - EF BB BF: UTF-8 behind the mark. Where the text behind it is no
//   well-formed UTF-8, it is code page 932 behind the mark, as the program
//   took it before it read UTF-8: such a file holds the key lines an earlier
//   save wrote there in code page 932 (the system's functions would find no
//   readable name in it either way).
// - FF FE: UTF-16, little-endian; FE FF: big-endian. The text is their UTF-8
//   form, in which a surrogate that has no partner keeps a three-byte form of
//   its own, so that every file comes back byte for byte (an odd last byte
//   included).
// - Anything else: code page 932 bytes, the file as it is. Every file the
//   program makes is of this kind.
//
// A file keeps its encoding and its mark when it is written again.

#include <string>
#include <string_view>

#include "settings/ini_file.h"

namespace vantrel {

enum class ProfileEncoding {
  CodePage932,
  Utf8,
  Utf16LittleEndian,
  Utf16BigEndian,
};

struct ProfileText {
  ProfileEncoding encoding = ProfileEncoding::CodePage932;
  std::string mark;        // the byte order mark, kept as it was (empty for none)
  std::string text;        // what lies behind it, in the form form_of() names
  std::string stray_byte;  // UTF-16 only: an odd last byte of the file, kept as it was
};

// CodePage932 for code page 932, else Utf8.
TextForm form_of(ProfileEncoding encoding);

// Never fails: any bytes have a text, and encode_profile_text(decode_profile_text(b)) == b.
ProfileText decode_profile_text(std::string bytes);
std::string encode_profile_text(ProfileText text);

// `utf8` with every byte sequence that is not well-formed UTF-8 (a surrogate's
// own form among them) replaced by U+FFFD: the text of a value the program may
// hold.
std::string well_formed_utf8(std::string_view utf8);

}  // namespace vantrel
