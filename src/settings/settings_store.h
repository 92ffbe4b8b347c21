#pragma once
// The settings file Vantrel.ini beside the program, and the only access to it:
// Ini_Read and Ini_Write for single keys, Load_Settings to fill the model at
// start and Save_Settings to write all seven keys at once.
//
// Texts are UTF-8 here; the file holds their code-page-932 bytes (the codec
// converts), or, in a file that starts with a Unicode byte order mark, their
// UTF-8 or UTF-16 form (profile_text.h). A load reads and parses the file
// once, and so does a write, which puts the whole new file in place in one step
// through SettingsFile::rewrite: a failure leaves the old file whole.
//
// Each routine takes the file as a SettingsFile (the program's own is
// Win32SettingsFile), or as a FileSystem and a path (FileSystemSettingsFile).

#include <array>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/text_codec.h"
#include "settings/settings_file.h"
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
  WriteFailed,           // the file exists but cannot be read or may not be written (it
                         // is read-only), or the new bytes could not be put in place
};

// A save's result, and for WriteFailed the system's own words for the reason
// (for instance that another program holds the file); may be empty.
struct SaveOutcome {
  WriteResult result = WriteResult::Saved;
  std::string reason;
};

// `<program_directory>\Vantrel.ini`; no doubled backslash after a drive root.
std::string settings_file_path(std::string_view program_directory);

// The value of `key` in `section` of the settings file, as the profile layer
// returns it (blanks trimmed, at most 255 bytes in code page 932; see
// ini_file.h), as UTF-8. The empty text when the file, the section or the key
// is missing, or the file cannot be read. In a code-page-932 file a name with
// no code-page-932 form matches nothing; a value from a Unicode file is cut
// where its code-page-932 form would pass 255 bytes (a character without one
// counting as the one byte the system puts in its place).
std::string Ini_Read(SettingsFile& file, const TextCodec& codec, std::string_view section, std::string_view key);
std::string Ini_Read(FileSystem& file_system, const TextCodec& codec, std::string_view section,
                     std::string_view key, const std::string& path);

// Sets one key (names cut to kMaxProfileNameCharacters characters), creating
// the file and the section when they are missing, and keeping every other line
// and the file's encoding. Every text must have a code-page-932 form, whatever
// the file's encoding: what is saved then reads back the same from any form of
// the file.
WriteResult Ini_Write(SettingsFile& file, const TextCodec& codec, std::string_view section, std::string_view key,
                      std::string_view value);
WriteResult Ini_Write(FileSystem& file_system, const TextCodec& codec, std::string_view section,
                      std::string_view key, std::string_view value, const std::string& path);

// Fills `model` from the settings file, read once: the seven keys, their
// defaults for empty values, the dropping of a file or folder that no longer
// exists, and the folder's image list whenever the folder exists. A value that
// is not a number leaves its field as it was. Never fails and never throws: a
// step that goes wrong leaves its field unchanged and loading goes on.
void Load_Settings(SettingsModel& model, FileSystem& file_system, const TextCodec& codec,
                   SettingsFile& file) noexcept;
void Load_Settings(SettingsModel& model, FileSystem& file_system, const TextCodec& codec,
                   const std::string& path) noexcept;

// Writes all seven keys in their order, with one rewrite of the file: the
// paths as they stand, the numbers as format_whole_number gives them, an unset
// action value as the empty text (it reads back as its default). When any value
// cannot be stored, nothing is written.
WriteResult Save_Settings(const SettingsModel& model, const TextCodec& codec, SettingsFile& file) noexcept;
WriteResult Save_Settings(const SettingsModel& model, FileSystem& file_system, const TextCodec& codec,
                          const std::string& path) noexcept;

}  // namespace vantrel
