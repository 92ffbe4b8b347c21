#pragma once
// The settings file Vantrel.ini beside the program, and the only access to it:
// Ini_Read and Ini_Write for single keys, Load_Settings to fill the model at
// start and Save_Settings to write all seven keys at once.
//
// Texts are UTF-8 here; the file holds their code-page-932 bytes (the codec
// converts). Writes replace the whole file atomically through
// FileSystem::replace_file: a failure leaves the old file whole.

#include <array>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/text_codec.h"
#include "settings/settings_model.h"

namespace vantrel {

inline constexpr std::string_view kSettingsFileName = "Vantrel.ini";
inline constexpr std::string_view kSettingsSection = "Section";

// The seven keys, in the order they are read and written.
inline constexpr std::string_view kFilePathKey = "ﾌｧｲﾙ名";
inline constexpr std::string_view kFolderNameKey = "ﾌｫﾙﾀﾞ名";
inline constexpr std::string_view kFileKindKey = "ﾌｧｲﾙ区分";
inline constexpr std::array<std::string_view, 4> kActionValueKeys = {
    "球の大きさ", "回転の速さ", "爆発の拡散度合い", "爆発の拡散する速さ"};

// Section and key names longer than this many characters are cut by Ini_Write.
inline constexpr std::size_t kMaxProfileNameCharacters = 128;

// What became of a write. Only Saved means the file holds the new values; for
// every other result the file is exactly as it was before.
enum class [[nodiscard]] WriteResult {
  Saved,
  PathNotRepresentable,  // a text (in practice a path) has no code-page-932 form
  ValueHasLineBreak,     // a section, key or value holds CR, LF or NUL: it would
                         // split its line or not read back as written
  WriteFailed,           // the file exists but cannot be read, or could not be replaced
};

// A save's result, and for WriteFailed the system's own words for the reason
// (for instance that another program holds the file); may be empty.
struct SaveOutcome {
  WriteResult result = WriteResult::Saved;
  std::string reason;
};

// `<program_directory>\Vantrel.ini`; no doubled backslash after a drive root.
std::string settings_file_path(std::string_view program_directory);

// The value of `key` in `section` of the file at `path`, as the profile layer
// returns it (blanks trimmed, at most 255 code-page-932 bytes; see ini_file.h),
// converted to UTF-8. The empty text when the file, the section or the key is
// missing, the file cannot be read, or a name has no code-page-932 form.
std::string Ini_Read(FileSystem& file_system, const TextCodec& codec, std::string_view section,
                     std::string_view key, const std::string& path);

// Sets one key (names cut to kMaxProfileNameCharacters characters), creating
// the file and the section when they are missing, and keeping every other line.
WriteResult Ini_Write(FileSystem& file_system, const TextCodec& codec, std::string_view section,
                      std::string_view key, std::string_view value, const std::string& path);

// Fills `model` from the file at `path`: the seven keys, their defaults for
// empty values, the dropping of a file or folder that no longer exists, and the
// folder's image list whenever the folder exists. A value that is not a number
// leaves its field as it was. Never fails and never throws: a step that goes
// wrong leaves its field unchanged and loading goes on.
void Load_Settings(SettingsModel& model, FileSystem& file_system, const TextCodec& codec,
                   const std::string& path) noexcept;

// Writes all seven keys in their order, with one replacement of the file: the
// paths as they stand, the numbers as format_whole_number gives them, an unset
// action value as the empty text (it reads back as its default). When any value
// cannot be stored, nothing is written.
WriteResult Save_Settings(const SettingsModel& model, FileSystem& file_system,
                          const TextCodec& codec, const std::string& path) noexcept;

}  // namespace vantrel
