#pragma once
// The settings model: which picture the saver shows and how the sphere moves.
// One instance lives for the whole run; it is filled once by Load_Settings and
// changed in memory only by the settings dialog.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vantrel {

// Indexes of Action_Value.
enum ActionIndex : std::size_t {
  kSphereSize = 0,      // 1-6 in the dialog; scale = value / 100
  kRotationSpeed = 1,   // 1-100 in the dialog; degrees per second about +Y
  kSpreadDegree = 2,    // 1-100 in the dialog; how widely the fragments spread
  kSpreadSpeed = 3,     // 1-20 in the dialog; how fast the first burst is
};

inline constexpr std::array<std::int64_t, 4> kActionDefaults = {3, 25, 5, 5};

// File_Kind values the dialog stores. Any other number read from the file is
// kept; the saver treats every non-zero value as single-file mode.
inline constexpr std::int16_t kFileKindFolder = 0;
inline constexpr std::int16_t kFileKindSingleFile = 1;

// Image_Count is a 16-bit count: the list never holds more entries.
inline constexpr std::size_t kMaxImageCount = 32767;

struct SettingsModel {
  std::string File_Path;    // the chosen image file; empty when none or gone
  std::string Folder_Name;  // the chosen folder as the user chose it; empty when none or gone
  std::int16_t File_Kind = kFileKindFolder;  // value before loading
  // Whole numbers without range limits; unset when the file held no number.
  std::array<std::optional<std::int64_t>, 4> Action_Value{};
  // Full paths of the folder's images, in listing order (entry 1 of the
  // one-based numbering is element 0 here).
  std::vector<std::string> Image_Files;
  // The folder's stamp when Image_Files was listed (see list_images): the
  // dialog need not walk a folder again that has not changed since.
  std::optional<std::uint64_t> Image_Files_Stamp;

  std::int16_t Image_Count() const { return static_cast<std::int16_t>(Image_Files.size()); }
};

}  // namespace vantrel
