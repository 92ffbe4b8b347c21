#include "settings/settings_journal.h"

#include <algorithm>
#include <charconv>
#include <cstdint>

namespace vantrel {
namespace {

constexpr std::string_view kMagic = "Vantrel settings journal 1";

// FNV-1a, 64 bits: enough to tell a whole record from a torn one.
std::uint64_t checksum(std::string_view bytes) {
  std::uint64_t hash = 0xcbf29ce484222325ull;
  for (const char byte : bytes) {
    hash ^= static_cast<unsigned char>(byte);
    hash *= 0x100000001b3ull;
  }
  return hash;
}

// The next blank-separated number of `line` from `at`, in `base`.
std::optional<std::uint64_t> take_number(std::string_view line, std::size_t& at, int base) {
  if (at >= line.size() || line[at] != ' ') return std::nullopt;
  ++at;
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(line.data() + at, line.data() + line.size(), value, base);
  if (error != std::errc() || end == line.data() + at) return std::nullopt;
  at = static_cast<std::size_t>(end - line.data());
  return value;
}

}  // namespace

std::string journal_header(std::string_view old_bytes, std::string_view new_bytes) {
  char checksums[2 * 17 + 1];
  const auto hex = [](char* at, std::uint64_t value) {
    static constexpr char kDigits[] = "0123456789abcdef";
    for (int i = 15; i >= 0; --i, value >>= 4) at[i] = kDigits[value & 0xF];
  };
  checksums[0] = ' ';
  hex(checksums + 1, checksum(old_bytes));
  checksums[17] = ' ';
  hex(checksums + 18, checksum(new_bytes));
  return std::string(kMagic) + " " + std::to_string(old_bytes.size()) + " " + std::to_string(new_bytes.size()) +
         std::string(checksums, sizeof checksums - 1) + "\n";
}

std::optional<JournalRecord> read_journal(std::string_view leftover) {
  const std::size_t line_end = leftover.find('\n');
  if (line_end == std::string_view::npos || leftover.substr(0, kMagic.size()) != kMagic) return std::nullopt;
  const std::string_view line = leftover.substr(0, line_end);
  std::size_t at = kMagic.size();
  const auto old_size = take_number(line, at, 10);
  const auto new_size = take_number(line, at, 10);
  const auto old_sum = take_number(line, at, 16);
  const auto new_sum = take_number(line, at, 16);
  if (!old_size || !new_size || !old_sum || !new_sum || at != line.size()) return std::nullopt;
  const std::string_view body = leftover.substr(line_end + 1);
  if (*old_size > body.size() || body.size() - *old_size != *new_size) return std::nullopt;
  const JournalRecord record{body.substr(0, *old_size), body.substr(*old_size)};
  if (checksum(record.old_bytes) != *old_sum || checksum(record.new_bytes) != *new_sum) return std::nullopt;
  return record;
}

bool is_torn_between(std::string_view current, const JournalRecord& record) {
  const std::string_view old_bytes = record.old_bytes, new_bytes = record.new_bytes;
  if (current == old_bytes || current == new_bytes) return false;
  if (current.size() < std::min(old_bytes.size(), new_bytes.size()) ||
      current.size() > std::max(old_bytes.size(), new_bytes.size()))
    return false;
  for (std::size_t i = 0; i < current.size(); ++i) {
    const char byte = current[i];
    const bool was_old = i < old_bytes.size() && byte == old_bytes[i];
    const bool is_new = i < new_bytes.size() && byte == new_bytes[i];
    const bool not_yet_written = i >= old_bytes.size() && byte == '\0';
    if (!was_old && !is_new && !not_yet_written) return false;
  }
  return true;
}

}  // namespace vantrel
