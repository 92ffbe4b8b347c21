#pragma once
// The initialization-file format of the settings file, on its code-page-932
// bytes, with the behaviour of the system's private-profile services:
//
// - A section starts at a line whose first non-blank byte is '[' and which has
//   a ']' after it; its name is what lies between them, blanks trimmed.
// - Other lines of the form  key = value  belong to the section above them.
//   Lines before the first section belong to none and are never matched.
// - Section and key names match ignoring the case of ASCII letters only. The
//   match is code-page-932 aware: a lead byte (0x81-0x9F, 0xE0-0xFC) takes
//   the byte after it unchanged, so a trail byte that happens to be a letter or
//   a ']' is never folded or taken for a bracket.
// - The first of duplicate sections, and within it the first of duplicate
//   keys, is the one read and written; the others stay as they are.
// - A line ends at CR LF, LF or a lone CR. Blanks are space and tab.
// - A UTF-8 byte order mark at the very start of the file is passed over when
//   the first line is parsed, so "[Section]" behind it still opens the section,
//   and it is kept byte for byte when the file is rewritten. The text behind it
//   is still taken as code-page-932 bytes (an editor that adds the mark wrote
//   UTF-8, whose Japanese key names then simply do not match ours).
//
// Writing changes only the one line of the key: every other byte of the file
// (comments, blank lines, odd spacing, other sections, key order, the line ends
// of untouched lines) stays as it was. Lines written end in CR LF.

#include <cstddef>
#include <string>
#include <string_view>

namespace vantrel {

// A value read back is cut to this many bytes (the 256-byte buffer of the
// profile call, less its terminating zero).
inline constexpr std::size_t kMaxProfileValueBytes = 255;

// True for the first byte of a double-byte code-page-932 character.
bool is_cp932_lead_byte(unsigned char byte);

// The value of `key` in `section` of the file bytes `file`, as the profile
// layer returns it: blanks around it trimmed, one pair of enclosing matching
// quotes (' or ") removed, cut to kMaxProfileValueBytes without splitting a
// double-byte character, and ended at its first NUL byte. The empty text when
// the section or the key is missing. All texts are code-page-932 bytes.
std::string read_profile_string(std::string_view file, std::string_view section,
                                std::string_view key);

// Sets `key` in `section` of `file` to `value`: rewrites the key's line in
// place, or adds the key after the last key line of the section, or adds the
// section with the key at the end of the file. `section`, `key` and `value`
// must hold no CR, LF or NUL (the caller checks; they would break the line).
void write_profile_string(std::string& file, std::string_view section, std::string_view key,
                          std::string_view value);

}  // namespace vantrel
