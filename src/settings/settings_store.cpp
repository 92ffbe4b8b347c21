#include "settings/settings_store.h"

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "imagesource/existence.h"
#include "imagesource/image_list.h"
#include "platform/guarded_step.h"
#include "settings/ini_file.h"
#include "settings/ini_number.h"
#include "settings/profile_text.h"

namespace vantrel {
namespace {

struct KeyValue {
  std::string_view key;
  std::string_view value;
};

// The seven keys in their order, as Load_Settings reads them.
constexpr std::array<std::string_view, 7> kAllKeys = {kFilePathKey,         kFolderNameKey,       kFileKindKey,
                                                      kActionValueKeys[0], kActionValueKeys[1], kActionValueKeys[2],
                                                      kActionValueKeys[3]};

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

// The longest start of `utf8` whose code-page-932 form takes at most
// kMaxProfileValueBytes bytes, as the profile call's buffer cuts a value of a
// Unicode file; a character without a form counts as the one byte that stands
// in for it.
std::string cut_to_profile_width(const TextCodec& codec, std::string utf8) {
  // No character is longer in code page 932 than in UTF-8.
  if (utf8.size() <= kMaxProfileValueBytes) return utf8;
  std::size_t width = 0, at = 0;
  while (at < utf8.size()) {
    std::size_t length = 1;
    while (at + length < utf8.size() && (static_cast<unsigned char>(utf8[at + length]) & 0xC0) == 0x80) ++length;
    const auto form = codec.to_cp932(std::string_view(utf8).substr(at, length));
    width += form ? form->size() : 1;
    if (width > kMaxProfileValueBytes) break;
    at += length;
  }
  utf8.resize(at);
  return utf8;
}

// The values of `keys` in `section` of the file's bytes, as Ini_Read gives
// them; all empty for no file.
std::vector<std::string> read_values(const TextCodec& codec, std::optional<std::string> bytes,
                                     std::string_view section, std::span<const std::string_view> keys) {
  std::vector<std::string> values(keys.size());
  if (!bytes) return values;
  const ProfileText text = decode_profile_text(std::move(*bytes));
  if (text.encoding != ProfileEncoding::CodePage932) {
    std::vector<std::string> found = read_profile_strings(text.text, TextForm::Utf8, section, keys);
    for (std::size_t i = 0; i < keys.size(); ++i) values[i] = cut_to_profile_width(codec, well_formed_utf8(found[i]));
    return values;
  }
  const auto section_bytes = codec.to_cp932(section);
  if (!section_bytes) return values;  // no such name can be in the file
  std::vector<std::string> key_bytes;
  std::vector<std::size_t> asked;  // the keys that have a form, by index
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (auto bytes_of_key = codec.to_cp932(keys[i])) {
      key_bytes.push_back(std::move(*bytes_of_key));
      asked.push_back(i);
    }
  }
  const std::vector<std::string_view> key_views(key_bytes.begin(), key_bytes.end());
  const std::vector<std::string> found =
      read_profile_strings(text.text, TextForm::CodePage932, *section_bytes, key_views);
  for (std::size_t j = 0; j < asked.size(); ++j) values[asked[j]] = codec.from_cp932(found[j]);
  return values;
}

// A name or value in both forms a file may hold.
struct BothForms {
  std::string_view utf8;
  std::string cp932;
};

// Sets every entry in `section` with one rewrite of the file, in the file's
// own encoding, or changes nothing.
WriteResult write_entries(SettingsFile& file, const TextCodec& codec, std::string_view section,
                          std::initializer_list<KeyValue> entries) {
  if (breaks_line(section)) return WriteResult::ValueHasLineBreak;
  for (const KeyValue& entry : entries) {
    if (breaks_line(entry.key) || breaks_line(entry.value)) return WriteResult::ValueHasLineBreak;
  }
  const auto both_forms = [&](std::string_view utf8) -> std::optional<BothForms> {
    auto cp932 = codec.to_cp932(utf8);
    if (!cp932) return std::nullopt;
    return BothForms{utf8, std::move(*cp932)};
  };
  const auto section_forms = both_forms(first_characters(section, kMaxProfileNameCharacters));
  if (!section_forms) return WriteResult::PathNotRepresentable;
  std::vector<std::pair<BothForms, BothForms>> encoded;
  encoded.reserve(entries.size());
  for (const KeyValue& entry : entries) {
    auto key = both_forms(first_characters(entry.key, kMaxProfileNameCharacters));
    auto value = both_forms(entry.value);
    if (!key || !value) return WriteResult::PathNotRepresentable;
    encoded.emplace_back(std::move(*key), std::move(*value));
  }

  const auto edit = [&](const std::optional<std::string>& current) {
    ProfileText text = current ? decode_profile_text(*current) : ProfileText{};
    const bool cp932 = text.encoding == ProfileEncoding::CodePage932;
    const auto pick = [&](const BothForms& forms) { return cp932 ? std::string_view(forms.cp932) : forms.utf8; };
    std::vector<ProfileEntry> written;
    written.reserve(encoded.size());
    for (const auto& [key, value] : encoded) written.push_back({pick(key), pick(value)});
    text.text = write_profile_strings(text.text, form_of(text.encoding), pick(*section_forms), written);
    return encode_profile_text(std::move(text));
  };
  return file.rewrite(edit) ? WriteResult::Saved : WriteResult::WriteFailed;
}

}  // namespace

std::string settings_file_path(std::string_view program_directory) {
  std::string path(program_directory);
  if (path.empty() || (path.back() != '\\' && path.back() != '/')) path += '\\';
  path += kSettingsFileName;
  return path;
}

std::string Ini_Read(SettingsFile& file, const TextCodec& codec, std::string_view section, std::string_view key) {
  const std::string_view keys[] = {key};
  return std::move(read_values(codec, file.read(), section, keys).front());
}

std::string Ini_Read(FileSystem& file_system, const TextCodec& codec, std::string_view section,
                     std::string_view key, const std::string& path) {
  FileSystemSettingsFile file(file_system, path);
  return Ini_Read(file, codec, section, key);
}

WriteResult Ini_Write(SettingsFile& file, const TextCodec& codec, std::string_view section, std::string_view key,
                      std::string_view value) {
  return write_entries(file, codec, section, {{key, value}});
}

WriteResult Ini_Write(FileSystem& file_system, const TextCodec& codec, std::string_view section,
                      std::string_view key, std::string_view value, const std::string& path) {
  FileSystemSettingsFile file(file_system, path);
  return Ini_Write(file, codec, section, key, value);
}

void Load_Settings(SettingsModel& model, FileSystem& file_system, const TextCodec& codec,
                   SettingsFile& file) noexcept {
  // One read and one parse for all seven keys. When even that fails (memory
  // for a huge file), every field stays as it was.
  std::vector<std::string> values;
  bool read = false;
  run_guarded([&] {
    values = read_values(codec, file.read(), kSettingsSection, kAllKeys);
    read = true;
  });
  if (!read) return;

  // Loading continues on error: a step that fails leaves its field alone.
  run_guarded([&] {
    std::string file_path = std::move(values[0]);
    if (!file_path.empty() && !File_Exists(file_system, file_path)) file_path.clear();
    model.File_Path = std::move(file_path);
  });

  run_guarded([&] {
    std::string folder = std::move(values[1]);
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
    const std::string& kind = values[2];
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
      const std::string& value = values[3 + i];
      if (value.empty()) {
        model.Action_Value[i] = kActionDefaults[i];
      } else if (const auto number = read_whole_number(value)) {
        model.Action_Value[i] = *number;
      }
    });
  }
}

void Load_Settings(SettingsModel& model, FileSystem& file_system, const TextCodec& codec,
                   const std::string& path) noexcept {
  run_guarded([&] {
    FileSystemSettingsFile file(file_system, path);
    Load_Settings(model, file_system, codec, file);
  });
}

WriteResult Save_Settings(const SettingsModel& model, const TextCodec& codec, SettingsFile& file) noexcept {
  try {
    const std::string kind = format_whole_number(model.File_Kind);
    std::array<std::string, 4> actions;
    for (std::size_t i = 0; i < actions.size(); ++i) {
      if (model.Action_Value[i]) actions[i] = format_whole_number(*model.Action_Value[i]);
    }
    return write_entries(file, codec, kSettingsSection,
                         {{kFilePathKey, model.File_Path},
                          {kFolderNameKey, model.Folder_Name},
                          {kFileKindKey, kind},
                          {kActionValueKeys[0], actions[0]},
                          {kActionValueKeys[1], actions[1]},
                          {kActionValueKeys[2], actions[2]},
                          {kActionValueKeys[3], actions[3]}});
  } catch (...) {
    return WriteResult::WriteFailed;  // nothing was written: the old file is whole
  }
}

WriteResult Save_Settings(const SettingsModel& model, FileSystem& file_system, const TextCodec& codec,
                          const std::string& path) noexcept {
  try {
    FileSystemSettingsFile file(file_system, path);
    return Save_Settings(model, codec, file);
  } catch (...) {
    return WriteResult::WriteFailed;
  }
}

}  // namespace vantrel
