#include "settings/settings_store.h"

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>
#include <vector>

#include "imagesource/existence.h"
#include "imagesource/image_list.h"
#include "platform/guarded_step.h"
#include "settings/ini_file.h"
#include "settings/ini_number.h"

namespace vantrel {
namespace {

struct ProfileEntry {
  std::string_view section;
  std::string_view key;
  std::string_view value;
};

struct EncodedEntry {
  std::string section;
  std::string key;
  std::string value;
};

// The first `count` characters of UTF-8 text (all of it when shorter).
std::string_view first_characters(std::string_view utf8, std::size_t count) {
  std::size_t seen = 0;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const bool starts_character = (static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80;
    if (starts_character && seen++ == count) return utf8.substr(0, i);
  }
  return utf8;
}

bool breaks_line(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// Applies every entry to the file's current bytes and puts the result in
// place with one replacement, or changes nothing.
WriteResult write_entries(FileSystem& file_system, const TextCodec& codec, const std::string& path,
                          std::initializer_list<ProfileEntry> entries) {
  for (const ProfileEntry& entry : entries) {
    if (breaks_line(entry.section) || breaks_line(entry.key) || breaks_line(entry.value)) {
      return WriteResult::ValueHasLineBreak;
    }
  }
  std::vector<EncodedEntry> encoded;
  encoded.reserve(entries.size());
  for (const ProfileEntry& entry : entries) {
    auto section = codec.to_cp932(first_characters(entry.section, kMaxProfileNameCharacters));
    auto key = codec.to_cp932(first_characters(entry.key, kMaxProfileNameCharacters));
    auto value = codec.to_cp932(entry.value);
    if (!section || !key || !value) return WriteResult::PathNotRepresentable;
    encoded.push_back({std::move(*section), std::move(*key), std::move(*value)});
  }

  std::string file;
  if (auto existing = file_system.read_file(path)) {
    file = std::move(*existing);
  } else if (file_system.any_entry_matches(path)) {
    // It is there but could not be read (locked, no access, a folder): writing
    // now would throw away every line we could not see.
    return WriteResult::WriteFailed;
  }
  for (const EncodedEntry& entry : encoded) {
    write_profile_string(file, entry.section, entry.key, entry.value);
  }
  return file_system.replace_file(path, file) ? WriteResult::Saved : WriteResult::WriteFailed;
}

}  // namespace

std::string settings_file_path(std::string_view program_directory) {
  std::string path(program_directory);
  if (path.empty() || (path.back() != '\\' && path.back() != '/')) path += '\\';
  path += kSettingsFileName;
  return path;
}

std::string Ini_Read(FileSystem& file_system, const TextCodec& codec, std::string_view section,
                     std::string_view key, const std::string& path) {
  const auto section_bytes = codec.to_cp932(section);
  const auto key_bytes = codec.to_cp932(key);
  if (!section_bytes || !key_bytes) return {};  // no such name can be in the file
  const auto file = file_system.read_file(path);
  if (!file) return {};
  return codec.from_cp932(read_profile_string(*file, *section_bytes, *key_bytes));
}

WriteResult Ini_Write(FileSystem& file_system, const TextCodec& codec, std::string_view section,
                      std::string_view key, std::string_view value, const std::string& path) {
  return write_entries(file_system, codec, path, {{section, key, value}});
}

void Load_Settings(SettingsModel& model, FileSystem& file_system, const TextCodec& codec,
                   const std::string& path) noexcept {
  const auto read = [&](std::string_view key) {
    return Ini_Read(file_system, codec, kSettingsSection, key, path);
  };

  // Loading continues on error: a step that fails leaves its field alone.
  run_guarded([&] {
    std::string file_path = read(kFilePathKey);
    if (!file_path.empty() && !File_Exists(file_system, file_path)) file_path.clear();
    model.File_Path = std::move(file_path);
  });

  run_guarded([&] {
    std::string folder = read(kFolderNameKey);
    if (folder.empty()) {
      model.Folder_Name.clear();
    } else if (Folder_Exists(file_system, folder)) {
      // Built whatever File_Kind says: the dialog shows it in either mode.
      ImageListing listing = list_images(file_system, folder);
      model.Folder_Name = std::move(folder);
      model.Image_Files = std::move(listing.paths);
      model.Image_Files_Stamp = listing.folder_stamp;
    } else {
      model.Folder_Name.clear();
    }
  });

  run_guarded([&] {
    const std::string kind = read(kFileKindKey);
    if (kind.empty()) {
      model.File_Kind = kFileKindSingleFile;
      return;
    }
    const auto number = read_whole_number(kind);
    if (number && *number >= std::numeric_limits<std::int16_t>::min() &&
        *number <= std::numeric_limits<std::int16_t>::max()) {
      model.File_Kind = static_cast<std::int16_t>(*number);
    }
  });

  for (std::size_t i = 0; i < kActionValueKeys.size(); ++i) {
    run_guarded([&] {
      const std::string value = read(kActionValueKeys[i]);
      if (value.empty()) {
        model.Action_Value[i] = kActionDefaults[i];
      } else if (const auto number = read_whole_number(value)) {
        model.Action_Value[i] = *number;
      }
    });
  }
}

WriteResult Save_Settings(const SettingsModel& model, FileSystem& file_system,
                          const TextCodec& codec, const std::string& path) noexcept {
  try {
    const std::string kind = format_whole_number(model.File_Kind);
    std::array<std::string, 4> actions;
    for (std::size_t i = 0; i < actions.size(); ++i) {
      if (model.Action_Value[i]) actions[i] = format_whole_number(*model.Action_Value[i]);
    }
    return write_entries(file_system, codec, path,
                         {{kSettingsSection, kFilePathKey, model.File_Path},
                          {kSettingsSection, kFolderNameKey, model.Folder_Name},
                          {kSettingsSection, kFileKindKey, kind},
                          {kSettingsSection, kActionValueKeys[0], actions[0]},
                          {kSettingsSection, kActionValueKeys[1], actions[1]},
                          {kSettingsSection, kActionValueKeys[2], actions[2]},
                          {kSettingsSection, kActionValueKeys[3], actions[3]}});
  } catch (...) {
    return WriteResult::WriteFailed;  // nothing was replaced: the old file is whole
  }
}

}  // namespace vantrel
