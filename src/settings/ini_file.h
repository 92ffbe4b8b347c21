#pragma once
// The initialization-file format of the settings file, on the file's text,
// with the behaviour of the system's private-profile services:
//
// - A section starts at a line whose first non-blank byte is '[' and which has
//   a ']' after it; its name is what lies between them, blanks trimmed.
// - Other lines of the form  key = value  belong to the section above them.
//   Lines before the first section belong to none and are never matched.
// - Section and key names match ignoring the case of ASCII letters only.
// - The first of duplicate sections, and within it the first of duplicate
//   keys, is the one read and written; the others stay as they are.
// - A line ends at CR LF, LF or a lone CR. Blanks are space and tab.
//
// The text comes in one of two forms (profile_text.h turns a file's bytes into
// its text and back):
// - code page 932 bytes, where a lead byte (0x81-0x9F, 0xE0-0xFC) takes the
//   byte after it unchanged, so a trail byte that happens to be a letter or a
//   ']' is never folded or taken for a bracket;
// - UTF-8, where no byte of a multi-byte character is ASCII.
//
// Writing changes only the lines of the keys written: every other byte of the
// text (comments, blank lines, odd spacing, other sections, key order, the line
// ends of untouched lines) stays as it was. Lines written end in CR LF.
//
// One walk over the text serves every key of a read or a write, and nothing is
// kept per line: a file of millions of lines costs one pass over its bytes.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

enum class TextForm {
  CodePage932,
  Utf8,
};

// A value read back from code-page-932 text is cut to this many bytes (the
// 256-byte buffer of the profile call, less its terminating zero). From UTF-8
// text it is cut to this many characters: no character takes less than a byte
// in code page 932, so the caller's cut of its code-page-932 form to this many
// bytes needs no more of it.
inline constexpr std::size_t kMaxProfileValueBytes = 255;

// True for the first byte of a double-byte code-page-932 character.
bool is_cp932_lead_byte(unsigned char byte);

// The values of `keys` in `section` of `text`, one for each key in its order,
// as the profile layer returns them: blanks around the value trimmed, one pair
// of enclosing matching quotes (' or ") removed, cut as kMaxProfileValueBytes
// says without splitting a character, and ended at its first NUL byte. The
// empty text for a key (or every key) that is missing.
std::vector<std::string> read_profile_strings(std::string_view text, TextForm form, std::string_view section,
                                              std::span<const std::string_view> keys);

struct ProfileEntry {
  std::string_view key;
  std::string_view value;
};

// `text` with every entry's key in `section` set to its value, exactly as
// writing the entries one after the other with write_profile_string would
// leave it: a key's line is rewritten in place; keys not there yet are added,
// in their order, after the section's last key (or other content) line; a
// missing section is added at the end with them. Of entries whose keys match
// each other, the last one's line is the one that stays. Names and values must
// hold no CR, LF or NUL (the caller checks; they would break the line).
std::string write_profile_strings(std::string_view text, TextForm form, std::string_view section,
                                  std::span<const ProfileEntry> entries);

// One key: read_profile_strings and write_profile_strings for a single key.
std::string read_profile_string(std::string_view text, std::string_view section, std::string_view key,
                                 TextForm form = TextForm::CodePage932);
void write_profile_string(std::string& text, std::string_view section, std::string_view key,
                          std::string_view value, TextForm form = TextForm::CodePage932);

}  // namespace vantrel
