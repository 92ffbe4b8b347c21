// libFuzzer target for the settings file's codec (settings/ini_file.h): any
// bytes as a file, any names and value, read and written.
//
// Input: three length bytes (section, key, value), then that many bytes of
// each, then the file. The names and the value are first made ones the file
// can carry (what Ini_Write refuses or the format cannot hold is taken out),
// since the properties are about those; the file is used as it is.
//
// Properties:
//   - reading any key of any bytes never fails (the sanitizers watch);
//   - a write changes only the key's own line, or adds the key's line after
//     the section's content (giving the line before it a line break when it
//     had none), or adds the section with the key at the end; every other
//     line keeps every byte;
//   - reading the key back gives the value written;
//   - writing the same value again changes nothing.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "settings/ini_file.h"

namespace {

using vantrel::is_cp932_lead_byte;

bool is_blank(char c) { return c == ' ' || c == '\t'; }

bool is_trail_byte(unsigned char byte) { return byte >= 0x40 && byte <= 0xFC && byte != 0x7F; }

// Takes out what no line may hold and blanks at either end, and keeps only
// well-formed code page 932: a lead byte with a trail byte after it, as every
// text the program converts has.
std::string line_safe(std::string_view text, std::string_view also_forbidden) {
  std::string out;
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

std::string value_text(std::string_view raw) {
  std::string value = line_safe(raw, "");
  if (value.size() > vantrel::kMaxProfileValueBytes) value = line_safe(value.substr(0, vantrel::kMaxProfileValueBytes), "");
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
  // A byte order mark starts the file and stays; the lines begin behind it.
  constexpr std::string_view kMark = "\xEF\xBB\xBF";
  if (before.substr(0, kMark.size()) == kMark) {
    if (after.substr(0, kMark.size()) != kMark) fail("the byte order mark went");
    before.remove_prefix(kMark.size());
    after.remove_prefix(kMark.size());
  }
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
  const std::string section = section_name(take(static_cast<unsigned char>(data[0])));
  const std::string key = key_name(take(static_cast<unsigned char>(data[1])));
  const std::string value = value_text(take(static_cast<unsigned char>(data[2])));
  const std::string before(input.substr(std::min(at, input.size())));

  // Reading: whatever the names, whatever the bytes.
  (void)vantrel::read_profile_string(before, input.substr(3, data[0]), input.substr(3, data[1]));
  (void)vantrel::read_profile_string(before, section, key);

  std::string after = before;
  vantrel::write_profile_string(after, section, key, value);
  const std::string key_line = key + "=" + value + "\r\n";
  check_only_the_key_changed(before, after, section, key_line);
  if (vantrel::read_profile_string(after, section, key) != value) fail("the value did not read back");

  std::string again = after;
  vantrel::write_profile_string(again, section, key, value);
  if (again != after) fail("writing the same value again changed the file");
  return 0;
}
