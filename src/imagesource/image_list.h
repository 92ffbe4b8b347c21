#pragma once
// The image files of a folder, in the fixed order the saver and the dialog use:
// attribute value 0, then 32 (archive only), then 1 (read-only only); within
// each, *.bmp, *.gif, *.jpg, *.wmf; within each, the file system's own order.
// Nothing is sorted, and at most kMaxImageCount (settings/settings_model.h)
// entries are kept: the first ones in that order.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace vantrel {

struct ImageListing {
  // Full paths in listing order; see Build_Image_List for their form.
  std::vector<std::string> paths;
  // How the walk of the folder ended: a folder that cannot be read, or one
  // that breaks off part-way, fails with the system's reason; the images
  // found before the break are kept all the same.
  EnumerationResult enumeration;
  bool stopped = false;  // the progress report asked to stop
  // The folder's stamp (FileSystem::folder_stamp) taken before the walk:
  // while the folder still has it, `paths` are its images as they are now.
  std::optional<std::uint64_t> folder_stamp;
};

// Told the number of images found so far each time it grows (in the order
// the file system gives them, before they are put in listing order; never
// above kMaxImageCount). Returns false to stop the listing, which then keeps
// what it has found.
using ListingProgress = std::function<bool(std::size_t found)>;

// The images of `folder` in one enumeration. An empty folder text, or one of
// blanks alone, gives an empty listing without touching the file system.
ImageListing list_images(FileSystem& file_system, const std::string& folder, const ListingProgress& progress = {});

// Full paths: the folder's directory part, one backslash, and the name as the
// file system spells it, so a folder text ending in a backslash (a drive root,
// "C:\") gives entries with a doubled one ("C:\\a.bmp"), which Windows accepts.
//
// An empty folder text gives an empty list without touching the file system;
// a folder that cannot be read gives an empty list, and one that breaks off
// part-way keeps the entries found before the break.
std::vector<std::string> Build_Image_List(FileSystem& file_system, const std::string& folder);

// For every path, its name part (what follows the last backslash) as the file
// system spells it now, or the empty text when its folder holds no such entry
// (the file is gone, or the folder cannot be read). The match ignores the case
// of ASCII letters; an entry spelled exactly as asked wins. One enumeration
// for each run of paths in the same folder, not one query per path.
//
// `listed_stamp` is the folder_stamp of the listing the paths came from (all
// of one folder): when the folder still has it, nothing was added, removed or
// renamed since, the names are the paths' own and the folder is not walked
// again. (A file system whose times are coarse, as FAT's two seconds, may
// keep the stamp through a change made within that time.)
std::vector<std::string> names_as_spelled(FileSystem& file_system, const std::vector<std::string>& paths,
                                          std::optional<std::uint64_t> listed_stamp = std::nullopt);

}  // namespace vantrel
