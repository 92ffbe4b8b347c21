#include "settings/ini_file.h"

#include <algorithm>
#include <optional>

namespace vantrel {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

enum class LineKind { Blank, Comment, Section, Key, Other };

// One line of the text, as offsets into its bytes.
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

// Length in bytes of the unit starting at `at` that names compare as a whole:
// a code-page-932 lead byte with the byte after it (a lead byte at the very end
// stands alone). In UTF-8 every byte stands alone: none of a multi-byte
// character is ASCII, so none folds or reads as a bracket.
std::size_t unit_length(std::string_view text, std::size_t at, TextForm form) {
  return form == TextForm::CodePage932 && is_cp932_lead_byte(static_cast<unsigned char>(text[at])) &&
                 at + 1 < text.size()
             ? 2
             : 1;
}

bool names_match(std::string_view stored, std::string_view sought, TextForm form) {
  if (stored.size() != sought.size()) return false;
  for (std::size_t i = 0; i < stored.size();) {
    const std::size_t length = unit_length(stored, i, form);
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
std::optional<std::size_t> find_closing_bracket(std::string_view text, std::size_t from, TextForm form) {
  for (std::size_t i = from; i < text.size(); i += unit_length(text, i, form)) {
    if (text[i] == ']') return i;
  }
  return std::nullopt;
}

void classify(std::string_view whole, Line& line, TextForm form) {
  const std::string_view text = whole.substr(line.begin, line.end - line.begin);
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
    if (const auto close = find_closing_bracket(text, start + 1, form)) {
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

// The lines of a text, one at a time; none is kept.
class LineWalker {
 public:
  LineWalker(std::string_view text, TextForm form) : text_(text), form_(form) {}

  bool next(Line& line) {
    if (at_ >= text_.size()) return false;
    line = Line{};
    line.begin = at_;
    while (at_ < text_.size() && !is_line_break(text_[at_])) ++at_;
    line.end = at_;
    if (at_ < text_.size()) at_ += (text_[at_] == '\r' && at_ + 1 < text_.size() && text_[at_ + 1] == '\n') ? 2 : 1;
    line.next = at_;
    classify(text_, line, form_);
    return true;
  }

 private:
  std::string_view text_;
  TextForm form_;
  std::size_t at_ = 0;
};

// The value text as the profile call hands it over (see the header).
std::string profile_value(std::string_view value, TextForm form) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  std::size_t kept = 0;
  if (form == TextForm::CodePage932) {
    while (kept < value.size()) {
      const std::size_t length = unit_length(value, kept, form);
      if (kept + length > kMaxProfileValueBytes) break;
      kept += length;
    }
  } else {
    std::size_t characters = 0;
    for (; kept < value.size(); ++kept) {
      const bool starts_character = (static_cast<unsigned char>(value[kept]) & 0xC0) != 0x80;
      if (starts_character && characters++ == kMaxProfileValueBytes) break;
    }
  }
  value = value.substr(0, kept);
  return std::string(value.substr(0, value.find('\0')));
}

}  // namespace

bool is_cp932_lead_byte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::vector<std::string> read_profile_strings(std::string_view text, TextForm form, std::string_view section,
                                              std::span<const std::string_view> keys) {
  std::vector<std::string> values(keys.size());
  std::vector<bool> found(keys.size(), false);
  std::size_t missing = keys.size();
  bool inside = false;
  LineWalker walker(text, form);
  Line line;
  while (missing > 0 && walker.next(line)) {
    if (line.kind == LineKind::Section) {
      if (inside) break;  // only the first section of the name counts
      inside = names_match(line.name, section, form);
      continue;
    }
    if (!inside || line.kind != LineKind::Key) continue;
    for (std::size_t i = 0; i < keys.size(); ++i) {
      if (!found[i] && names_match(line.name, keys[i], form)) {
        values[i] = profile_value(line.value, form);
        found[i] = true;
        --missing;
      }
    }
  }
  return values;
}

std::string write_profile_strings(std::string_view text, TextForm form, std::string_view section,
                                  std::span<const ProfileEntry> entries) {
  if (entries.empty()) return std::string(text);
  // Entries whose keys match share one line: the first of them decides where
  // it goes, the last what it says.
  const std::size_t count = entries.size();
  std::vector<std::size_t> first_of(count), last_of(count);
  for (std::size_t i = 0; i < count; ++i) {
    first_of[i] = i;
    for (std::size_t j = 0; j < i; ++j) {
      if (names_match(entries[j].key, entries[i].key, form)) {
        first_of[i] = first_of[j];
        break;
      }
    }
    last_of[first_of[i]] = i;
  }
  const auto key_line = [&](std::size_t first) {
    const ProfileEntry& entry = entries[last_of[first]];
    std::string line;
    line.reserve(entry.key.size() + entry.value.size() + 1 + kLineEnd.size());
    line.append(entry.key).append("=").append(entry.value).append(kLineEnd);
    return line;
  };

  std::optional<Line> header;
  Line last_content;  // the section's last key or other line, else its header
  std::vector<std::optional<Line>> matched(count);
  LineWalker walker(text, form);
  Line line;
  while (walker.next(line)) {
    if (line.kind == LineKind::Section) {
      if (header) break;
      if (names_match(line.name, section, form)) header = last_content = line;
      continue;
    }
    if (!header || (line.kind != LineKind::Key && line.kind != LineKind::Other)) continue;
    last_content = line;
    if (line.kind != LineKind::Key) continue;
    for (std::size_t i = 0; i < count; ++i) {
      if (first_of[i] == i && !matched[i] && names_match(line.name, entries[i].key, form)) {
        matched[i] = line;
        break;  // the entries' keys that match each other are one class
      }
    }
  }

  std::string added;  // the lines of the keys not there yet, in their order
  for (std::size_t i = 0; i < count; ++i) {
    if (first_of[i] == i && !matched[i]) added += key_line(i);
  }

  std::string out;
  if (!header) {
    out.reserve(text.size() + kLineEnd.size() * 2 + section.size() + 2 + added.size());
    out.append(text);
    if (!text.empty() && !is_line_break(text.back())) out.append(kLineEnd);
    out.append("[").append(section).append("]").append(kLineEnd).append(added);
    return out;
  }

  struct Edit {
    std::size_t begin;
    std::size_t end;  // the bytes [begin, end) give way to `bytes`
    std::string bytes;
  };
  std::vector<Edit> edits;
  bool last_content_rewritten = false;
  for (std::size_t i = 0; i < count; ++i) {
    if (!matched[i]) continue;
    edits.push_back({matched[i]->begin, matched[i]->next, key_line(i)});
    if (matched[i]->begin == last_content.begin) last_content_rewritten = true;
  }
  if (!added.empty()) {
    // A rewritten line ends in CR LF already; an untouched last line of the
    // file may have no line break yet.
    const bool needs_break = last_content.next == last_content.end && !last_content_rewritten;
    edits.push_back({last_content.next, last_content.next, needs_break ? std::string(kLineEnd) + added : added});
  }
  std::stable_sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.begin < b.begin; });

  std::size_t size = text.size();
  for (const Edit& edit : edits) size = size - (edit.end - edit.begin) + edit.bytes.size();
  out.reserve(size);
  std::size_t copied = 0;
  for (const Edit& edit : edits) {
    out.append(text.substr(copied, edit.begin - copied)).append(edit.bytes);
    copied = edit.end;
  }
  out.append(text.substr(copied));
  return out;
}

std::string read_profile_string(std::string_view text, std::string_view section, std::string_view key,
                                TextForm form) {
  const std::string_view keys[] = {key};
  return std::move(read_profile_strings(text, form, section, keys).front());
}

void write_profile_string(std::string& text, std::string_view section, std::string_view key,
                          std::string_view value, TextForm form) {
  const ProfileEntry entries[] = {{key, value}};
  text = write_profile_strings(text, form, section, entries);
}

}  // namespace vantrel
