#pragma once
// Which picture a saver run shows.

#include <string>

#include "platform/random_source.h"
#include "settings/settings_model.h"

namespace vantrel {

// Image_Path for this run. Single-file mode (any File_Kind but 0) shows
// File_Path and draws nothing. Folder mode draws one number r and shows entry
// Int(Image_Count * r) + 1 of Image_Files, each entry equally likely; with an
// empty list the pick fails and the path is empty (the scene then has no
// picture).
std::string Pick_Picture(const SettingsModel& settings, RandomSource& random);

}  // namespace vantrel
