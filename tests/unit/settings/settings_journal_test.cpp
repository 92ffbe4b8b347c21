#include "settings/settings_journal.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace vantrel {
namespace {

using namespace std::string_literals;

std::string record_of(const std::string& old_bytes, const std::string& new_bytes) {
  return journal_header(old_bytes, new_bytes) + old_bytes + new_bytes;
}

TEST(SettingsJournalTest, OnlyAWholeRecordReadsBack) {
  const std::string old_bytes = "[Section]\r\nk= 3\r\n", new_bytes = "[Section]\r\nk= 40\r\n";
  const std::string whole = record_of(old_bytes, new_bytes);
  const auto record = read_journal(whole);
  ASSERT_TRUE(record);
  EXPECT_EQ(record->old_bytes, old_bytes);
  EXPECT_EQ(record->new_bytes, new_bytes);
  const auto empty_ends = read_journal(record_of("", ""));
  ASSERT_TRUE(empty_ends);
  EXPECT_EQ(empty_ends->old_bytes, "");

  std::string flipped = whole;
  flipped[flipped.size() - 3] ^= 0x01;
  std::string flipped_old = whole;
  flipped_old[whole.size() - new_bytes.size() - 2] ^= 0x20;
  const struct {
    const char* what;
    std::string bytes;
  } refused[] = {
      {"a byte of the new part changed", flipped},
      {"a byte of the old part changed", flipped_old},
      {"a byte too many", whole + "x"},
      {"an earlier save's whole new file", new_bytes},
      {"nothing", ""},
      {"no line break", whole.substr(0, whole.find('\n'))},
      {"sizes that do not add up", "Vantrel settings journal 1 2 2 0 0\nabc"},
      {"a size past the end", "Vantrel settings journal 1 99999999999999999999 0 0 0\n"},
      {"another version", "Vantrel settings journal 2" + whole.substr(whole.find(' ', 25))},
  };
  for (const auto& c : refused) EXPECT_FALSE(read_journal(c.bytes)) << c.what;
  // Cut anywhere, as a save killed while writing it leaves it.
  for (std::size_t size = 0; size < whole.size(); ++size) {
    EXPECT_FALSE(read_journal(whole.substr(0, size))) << "cut to " << size << " bytes";
  }
}

TEST(SettingsJournalTest, TellsATornFileFromOneWrittenSince) {
  const std::string old_bytes = "[Section]\r\nk= 3\r\nz=1\r\n";    // 22 bytes
  const std::string longer = "[Section]\r\nk= 40\r\nz=1\r\n";      // 23 bytes
  const std::string shorter = "[Section]\r\nk=\r\nz=1\r\n";        // 20 bytes
  const struct {
    const char* what;
    std::string new_bytes;
    std::string current;
    bool torn;
  } cases[] = {
      {"still the old bytes", longer, old_bytes, false},
      {"the new bytes whole", longer, longer, false},
      {"first half new, grown to full size", longer, longer.substr(0, 16) + old_bytes.substr(16) + "\n", true},
      {"first half new, not grown yet", longer, longer.substr(0, 16) + old_bytes.substr(16), true},
      {"grown with zeros not yet written", longer, old_bytes + "\0"s, true},
      {"shorter new bytes, old end not cut yet", shorter, shorter + old_bytes.substr(shorter.size()), true},
      {"written by hand since", longer, "[Section]\r\nk= 5\r\nz=1\r\n", false},
      {"longer than both", longer, longer + "x", false},
      {"shorter than both", longer, old_bytes.substr(0, 10), false},
      {"emptied", longer, "", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(is_torn_between(c.current, JournalRecord{old_bytes, c.new_bytes}), c.torn) << c.what;
  }
}

}  // namespace
}  // namespace vantrel
