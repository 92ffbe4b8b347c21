#include "saver/pick_picture.h"

#include <cassert>

namespace vantrel {

std::string Pick_Picture(const SettingsModel& settings, RandomSource& random) {
  if (settings.File_Kind != kFileKindFolder) return settings.File_Path;

  const double r = random.next();
  assert(r >= 0.0 && r < 1.0 && "a random source gives numbers in [0, 1)");
  const int count = settings.Image_Count();
  if (count <= 0) return {};
  const int k = static_cast<int>(count * r) + 1;  // 1 to Image_Count
  return settings.Image_Files[static_cast<std::size_t>(k - 1)];
}

}  // namespace vantrel
