#pragma once
// The settings file on disk, and the one beside the running program.

#include <cstdint>
#include <optional>
#include <string>

#include "settings/settings_file.h"
#include "settings/settings_model.h"
#include "settings/settings_store.h"

namespace vantrel {

// The settings file at a path, written as the system's own profile functions
// write it: the file itself, in place. So a symbolic link still names the
// file it named, a hard link's other names see the new bytes, and the file
// keeps its attributes (hidden, system), owner and permissions. A read-only
// file is never written: its rewrite fails with the system's "access denied".
//
// All or nothing all the same: before the file is touched, its old and new
// bytes go into a record of ours beside it ("<file name>.<process>-<n>.tmp",
// settings_journal.h), which goes again once the new bytes are on the disk. A
// file that does not exist yet is written under such a name and renamed into
// place. Every load and every save first settles the records of saves that
// were cut short: a file they left torn gets its old bytes back, and they are
// removed. Nothing else beside the file is ever touched; a record that another
// save still holds open is left alone.
class Win32SettingsFile final : public SettingsFile {
 public:
  explicit Win32SettingsFile(std::string path);

  std::optional<std::string> read() override;
  bool rewrite(const Edit& edit) override;

  // The system's words for why the last read or rewrite that failed did so;
  // empty before any failure.
  std::string describe_last_failure() const;

 private:
  bool fail(std::uint32_t error);
  bool create(const Edit& edit);
  void settle_leftovers();

  std::optional<std::wstring> path_;  // nothing for a text that names no file
  std::uint32_t last_failure_ = 0;    // the Win32 error code of that failure
  std::uint32_t serial_ = 0;          // makes the names of our own files unique
};

// Load_Settings from `<program folder>\Vantrel.ini`. Never fails.
void load_settings_beside_program(SettingsModel& model);

// Save_Settings to `<program folder>\Vantrel.ini`: all seven keys in one
// rewrite of the file, or nothing written and the system's reason.
SaveOutcome save_settings_beside_program(const SettingsModel& model);

}  // namespace vantrel
