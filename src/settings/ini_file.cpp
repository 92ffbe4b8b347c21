#include "settings/ini_file.h"

#include <optional>
#include <vector>

namespace vantrel {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kLineEnd = "\r\n";

enum class LineKind { Blank, Comment, Section, Key, Other };

// One line of the file, as offsets into its bytes.
struct Line {
  std::size_t begin = 0;  // first byte of the line
  std::size_t end = 0;    // one past its last byte, before the line break
  std::size_t next = 0;   // first byte of the next line; equals `end` when no break follows
  LineKind kind = LineKind::Blank;
  std::string_view name;   // section or key name (Section, Key)
  std::string_view value;  // the value, blanks trimmed (Key)
};

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_line_break(char c) { return c == '\r' || c == '\n'; }

std::string_view trim(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

unsigned char fold_ascii(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Length in bytes of the character starting at `at`: 2 for a lead byte with a
// byte after it, else 1 (a lead byte at the very end stands alone).
std::size_t char_length(std::string_view text, std::size_t at) {
  return is_cp932_lead_byte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() ? 2 : 1;
}

bool names_match(std::string_view stored, std::string_view sought) {
  if (stored.size() != sought.size()) return false;
  for (std::size_t i = 0; i < stored.size();) {
    const std::size_t length = char_length(stored, i);
    if (length == 2) {
      if (stored.substr(i, 2) != sought.substr(i, 2)) return false;
    } else if (fold_ascii(static_cast<unsigned char>(stored[i])) !=
               fold_ascii(static_cast<unsigned char>(sought[i]))) {
      return false;
    }
    i += length;
  }
  return true;
}

// Position of the first ']' at a character boundary at or after `from`.
std::optional<std::size_t> find_closing_bracket(std::string_view text, std::size_t from) {
  for (std::size_t i = from; i < text.size(); i += char_length(text, i)) {
    if (text[i] == ']') return i;
  }
  return std::nullopt;
}

void classify(std::string_view file, Line& line) {
  const std::string_view text = file.substr(line.begin, line.end - line.begin);
  std::size_t start = 0;
  while (start < text.size() && is_blank(text[start])) ++start;
  if (start == text.size()) {
    line.kind = LineKind::Blank;
    return;
  }
  if (text[start] == ';') {
    line.kind = LineKind::Comment;
    return;
  }
  if (text[start] == '[') {
    if (const auto close = find_closing_bracket(text, start + 1)) {
      line.kind = LineKind::Section;
      line.name = trim(text.substr(start + 1, *close - start - 1));
      return;
    }
  }
  // '=' (0x3D) is never a trail byte, so a plain search finds the real one.
  const std::size_t equals = text.find('=', start);
  if (equals == std::string_view::npos) {
    line.kind = LineKind::Other;
    return;
  }
  line.kind = LineKind::Key;
  line.name = trim(text.substr(start, equals - start));
  line.value = trim(text.substr(equals + 1));
}

std::size_t content_start(std::string_view file) {
  return file.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark ? kUtf8ByteOrderMark.size()
                                                                           : 0;
}

std::vector<Line> parse_lines(std::string_view file) {
  std::vector<Line> lines;
  std::size_t at = content_start(file);
  while (at < file.size()) {
    Line line;
    line.begin = at;
    while (at < file.size() && !is_line_break(file[at])) ++at;
    line.end = at;
    if (at < file.size()) {
      at += (file[at] == '\r' && at + 1 < file.size() && file[at + 1] == '\n') ? 2 : 1;
    }
    line.next = at;
    classify(file, line);
    lines.push_back(line);
  }
  return lines;
}

// Index of the header line of the first section named `section`.
std::optional<std::size_t> find_section(const std::vector<Line>& lines, std::string_view section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind == LineKind::Section && names_match(lines[i].name, section)) return i;
  }
  return std::nullopt;
}

// The value text as the profile call hands it over (see the header).
std::string profile_value(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  std::size_t kept = 0;
  while (kept < value.size()) {
    const std::size_t length = char_length(value, kept);
    if (kept + length > kMaxProfileValueBytes) break;
    kept += length;
  }
  value = value.substr(0, kept);
  return std::string(value.substr(0, value.find('\0')));
}

}  // namespace

bool is_cp932_lead_byte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::string read_profile_string(std::string_view file, std::string_view section,
                                std::string_view key) {
  const std::vector<Line> lines = parse_lines(file);
  const auto header = find_section(lines, section);
  if (!header) return {};
  for (std::size_t i = *header + 1; i < lines.size() && lines[i].kind != LineKind::Section; ++i) {
    if (lines[i].kind == LineKind::Key && names_match(lines[i].name, key)) {
      return profile_value(lines[i].value);
    }
  }
  return {};
}

void write_profile_string(std::string& file, std::string_view section, std::string_view key,
                          std::string_view value) {
  std::string key_line;
  key_line.reserve(key.size() + value.size() + 3);
  key_line.append(key).append("=").append(value).append(kLineEnd);

  const std::vector<Line> lines = parse_lines(file);
  const auto header = find_section(lines, section);
  if (!header) {
    if (file.size() > content_start(file) && !is_line_break(file.back())) file.append(kLineEnd);
    file.append("[").append(section).append("]").append(kLineEnd).append(key_line);
    return;
  }

  // A new key goes after the section's last key (or other content) line, so
  // blank lines and comments that lead into the next section stay with it.
  std::size_t last_content = *header;
  for (std::size_t i = *header + 1; i < lines.size() && lines[i].kind != LineKind::Section; ++i) {
    if (lines[i].kind == LineKind::Key && names_match(lines[i].name, key)) {
      file.replace(lines[i].begin, lines[i].next - lines[i].begin, key_line);
      return;
    }
    if (lines[i].kind == LineKind::Key || lines[i].kind == LineKind::Other) last_content = i;
  }
  const Line& before = lines[last_content];
  if (before.next == before.end) {
    // The file's last line has no line break yet: give it one first.
    file.insert(before.end, std::string(kLineEnd) + key_line);
  } else {
    file.insert(before.next, key_line);
  }
}

}  // namespace vantrel
