// libFuzzer target for the settings file's codec (settings/ini_file.h) and
// the file's encodings (settings/profile_text.h): any bytes as a file, any
// names and value, read and written.
//
// Input: three length bytes (section, key, value), then that many bytes of
// each, then the file. The file's byte order mark decides the text's form
// (code page 932, or UTF-8 for a Unicode file). The names and the value are
// first made ones the file can carry in that form (what Ini_Write refuses or
// the format cannot hold is taken out), since the properties are about those;
// the file is used as it is.
//
// Properties:
//   - any file's bytes come back byte for byte from its text;
//   - reading any key of any bytes never fails (the sanitizers watch);
//   - a write changes only the key's own line, or adds the key's line after
//     the section's content (giving the line before it a line break when it
//     had none), or adds the section with the key at the end; every other
//     line keeps every byte;
//   - reading the key back gives the value written;
//   - writing the same value again changes nothing;
//   - a Unicode file stays one: its new bytes give back the written text;
//   - reading several keys at once gives what reading each alone gives, and
//     writing several at once (some of them already in the file, one of them
//     the first key again in other letter case) gives what writing them one
//     after the other gives.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "settings/ini_file.h"
#include "settings/profile_text.h"
// scripts/fuzz builds this target with ini_file.cpp alone; the encodings come
// along here.
#include "settings/profile_text.cpp"

namespace {

using vantrel::is_cp932_lead_byte;
using vantrel::TextForm;

TextForm form = TextForm::CodePage932;  // of the file of the current input

bool is_blank(char c) { return c == ' ' || c == '\t'; }

bool is_trail_byte(unsigned char byte) { return byte >= 0x40 && byte <= 0xFC && byte != 0x7F; }

// Takes out what no line may hold and blanks at either end, and keeps only
// well-formed text of the file's form: in code page 932 a lead byte with a
// trail byte after it, as every text the program converts has; well-formed
// UTF-8 in a Unicode file.
std::string line_safe(std::string_view text, std::string_view also_forbidden) {
  std::string out;
  if (form == TextForm::Utf8) {
    for (const char c : vantrel::well_formed_utf8(text)) {
      if (c != '\r' && c != '\n' && c != '\0' && also_forbidden.find(c) == std::string_view::npos) out += c;
    }
    while (!out.empty() && is_blank(out.front())) out.erase(out.begin());
    while (!out.empty() && is_blank(out.back())) out.pop_back();
    return out;
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (is_cp932_lead_byte(byte)) {
      if (i + 1 < text.size() && is_trail_byte(static_cast<unsigned char>(text[i + 1]))) {
        out.append(text, i, 2);
        ++i;
      }
      continue;
    }
    if (byte == '\r' || byte == '\n' || byte == '\0' || also_forbidden.find(text[i]) != std::string_view::npos)
      continue;
    out += text[i];
  }
  // A blank is never a trail byte, so trimming cuts no character in two.
  while (!out.empty() && is_blank(out.front())) out.erase(out.begin());
  while (!out.empty() && is_blank(out.back())) out.pop_back();
  return out;
}

std::string section_name(std::string_view raw) { return line_safe(raw, "]"); }

std::string key_name(std::string_view raw) {
  std::string key = line_safe(raw, "=");
  // A key line must not read as a section header or a comment: its first
  // byte after the blanks may be neither '[' nor ';'.
  while (!key.empty() && (key.front() == '[' || key.front() == ';')) key = line_safe(key.substr(1), "");
  return key;
}

// The first kMaxProfileValueBytes characters of UTF-8 text.
std::string_view first_characters(std::string_view utf8) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80 && seen++ == vantrel::kMaxProfileValueBytes)
      return utf8.substr(0, i);
  }
  return utf8;
}

std::string value_text(std::string_view raw) {
  std::string value = line_safe(raw, "");
  if (form == TextForm::Utf8) {
    value = line_safe(first_characters(value), "");
  } else if (value.size() > vantrel::kMaxProfileValueBytes) {
    value = line_safe(value.substr(0, vantrel::kMaxProfileValueBytes), "");
  }
  // One pair of enclosing quotes would be taken off on reading.
  while (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
    value = line_safe(value.substr(0, value.size() - 1), "");
  return value;
}

// The file's lines with their line breaks (CR LF, LF or a lone CR).
std::vector<std::string_view> raw_lines(std::string_view file) {
  std::vector<std::string_view> lines;
  std::size_t at = 0;
  while (at < file.size()) {
    const std::size_t begin = at;
    while (at < file.size() && file[at] != '\r' && file[at] != '\n') ++at;
    if (at < file.size()) at += (file[at] == '\r' && at + 1 < file.size() && file[at + 1] == '\n') ? 2 : 1;
    lines.push_back(file.substr(begin, at - begin));
  }
  return lines;
}

bool ends_in_break(std::string_view line) { return !line.empty() && (line.back() == '\n' || line.back() == '\r'); }

// A crash libFuzzer reports with the input that caused it.
[[noreturn]] void fail(const char* property) {
  std::fprintf(stderr, "property broken: %s\n", property);
  std::abort();
}

// Old and new agree but for one of the changes a write may make.
void check_only_the_key_changed(std::string_view before, std::string_view after, const std::string& section,
                                const std::string& key_line) {
  const std::vector<std::string_view> old_lines = raw_lines(before);
  const std::vector<std::string_view> new_lines = raw_lines(after);
  std::size_t prefix = 0;
  while (prefix < old_lines.size() && prefix < new_lines.size() && old_lines[prefix] == new_lines[prefix]) ++prefix;
  std::size_t suffix = 0;
  while (suffix < old_lines.size() - prefix && suffix < new_lines.size() - prefix &&
         old_lines[old_lines.size() - 1 - suffix] == new_lines[new_lines.size() - 1 - suffix]) {
    ++suffix;
  }
  const std::vector<std::string_view> removed(old_lines.begin() + static_cast<std::ptrdiff_t>(prefix),
                                              old_lines.end() - static_cast<std::ptrdiff_t>(suffix));
  const std::vector<std::string_view> added(new_lines.begin() + static_cast<std::ptrdiff_t>(prefix),
                                      new_lines.end() - static_cast<std::ptrdiff_t>(suffix));
  // A last line without a break may have gained one before the new lines.
  if (removed.size() == 1 && !ends_in_break(removed[0]) && !added.empty() &&
      added[0] == std::string(removed[0]) + "\r\n") {
    const std::vector<std::string_view> behind(added.begin() + 1, added.end());
    if (behind == std::vector<std::string_view>{key_line} ||
        behind == std::vector<std::string_view>{"[" + section + "]\r\n", key_line})
      return;
  }
  const std::string header = "[" + section + "]\r\n";
  if (removed.empty() && added.empty()) return;  // the key's line already read so
  if (removed.size() <= 1 && added.size() == 1 && added[0] == key_line) return;  // replaced or inserted
  if (removed.empty() && added.size() == 2 && added[0] == header && added[1] == key_line) return;  // appended
  fail("a write changed more than the key's line");
}

// ASCII letters of `name` in the other case: the same key to the format. A
// trail byte of code page 932 is part of its character and stays.
std::string other_case(std::string name) {
  for (std::size_t i = 0; i < name.size(); ++i) {
    char& c = name[i];
    if (form == TextForm::CodePage932 && is_cp932_lead_byte(static_cast<unsigned char>(c))) {
      ++i;
    } else if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    } else if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return name;
}

// Up to `count` names of key lines anywhere in the text, made writable.
std::vector<std::string> names_in(std::string_view text, std::size_t count) {
  std::vector<std::string> names;
  for (const std::string_view line : raw_lines(text)) {
    if (names.size() == count) break;
    const std::size_t equals = line.find('=');
    if (equals != std::string_view::npos) names.push_back(key_name(line.substr(0, equals)));
  }
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::size_t at = 3;
  const auto take = [&](std::size_t length) {
    const std::string_view part = input.substr(std::min(at, input.size()), length);
    at += part.size();
    return part;
  };
  const std::string_view raw_section = take(static_cast<unsigned char>(data[0]));
  const std::string_view raw_key = take(static_cast<unsigned char>(data[1]));
  const std::string_view raw_value = take(static_cast<unsigned char>(data[2]));
  const std::string file(input.substr(std::min(at, input.size())));

  const vantrel::ProfileText decoded = vantrel::decode_profile_text(file);
  if (vantrel::encode_profile_text(decoded) != file) fail("the file did not come back byte for byte");
  form = vantrel::form_of(decoded.encoding);
  const std::string& before = decoded.text;
  const std::string section = section_name(raw_section);
  const std::string key = key_name(raw_key);
  const std::string value = value_text(raw_value);

  // Reading: whatever the names, whatever the bytes.
  (void)vantrel::read_profile_string(before, raw_section, raw_key, form);
  (void)vantrel::read_profile_string(before, section, key, form);

  std::string after = before;
  vantrel::write_profile_string(after, section, key, value, form);
  const std::string key_line = key + "=" + value + "\r\n";
  check_only_the_key_changed(before, after, section, key_line);
  if (vantrel::read_profile_string(after, section, key, form) != value) fail("the value did not read back");

  std::string again = after;
  vantrel::write_profile_string(again, section, key, value, form);
  if (again != after) fail("writing the same value again changed the file");

  if (decoded.encoding != vantrel::ProfileEncoding::CodePage932) {
    vantrel::ProfileText written = decoded;
    written.text = after;
    const vantrel::ProfileText back = vantrel::decode_profile_text(vantrel::encode_profile_text(written));
    if (back.encoding != decoded.encoding || back.text != after) fail("a Unicode file did not stay one");
  }

  // Several keys at once, as one after the other.
  std::vector<std::string> keys = {key, other_case(key)};
  for (std::string& name : names_in(before, 2)) keys.push_back(std::move(name));
  const std::string values[] = {value, "", value_text(std::string(raw_value) + "2"), value};
  std::vector<vantrel::ProfileEntry> entries;
  std::string one_by_one = before;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    entries.push_back({keys[i], values[i]});
    vantrel::write_profile_string(one_by_one, section, keys[i], values[i], form);
  }
  if (vantrel::write_profile_strings(before, form, section, entries) != one_by_one)
    fail("writing several keys at once differs from writing them one by one");
  const std::vector<std::string_view> asked(keys.begin(), keys.end());
  const std::vector<std::string> together = vantrel::read_profile_strings(before, form, section, asked);
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (together[i] != vantrel::read_profile_string(before, section, keys[i], form))
      fail("reading several keys at once differs from reading each alone");
  }
  return 0;
}
