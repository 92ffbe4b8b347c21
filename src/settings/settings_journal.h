#pragma once
// The record a save keeps beside the settings file while it writes the file
// in place (settings_file_win32.h): the file's old bytes and its new ones. A
// save cut short (the program killed, the power gone) leaves the record
// behind; the next load or save finds it, puts the old bytes back when the file
// was left torn between the two, and removes it.
//
// The record is a header line with both sizes and checksums, then the old
// bytes, then the new ones. It is written whole and flushed before the file is
// touched, so a record that does not check out means the file was never
// touched.

#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// The header line of the record for these bytes; the old and the new bytes
// follow it.
std::string journal_header(std::string_view old_bytes, std::string_view new_bytes);

struct JournalRecord {
  std::string_view old_bytes;
  std::string_view new_bytes;
};

// The record in a leftover file's bytes (views into them), or nothing when the
// bytes are no whole record: an unfinished record, or a leftover of another
// kind.
std::optional<JournalRecord> read_journal(std::string_view leftover);

// True when `current`, the file's bytes now, is the new bytes written over
// the old ones only in part: neither of the two whole, and every byte the old
// or the new one at its place (or zero where the file was growing), its size
// between theirs. A file that is anything else was written since, by a person
// or a program, and is left as it is.
bool is_torn_between(std::string_view current, const JournalRecord& record);

}  // namespace vantrel
