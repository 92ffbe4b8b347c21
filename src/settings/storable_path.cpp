#include "settings/storable_path.h"

#include "settings/ini_file.h"

namespace vantrel {

StorablePath storable_path(FileSystem& file_system, const TextCodec& codec, const std::string& path) {
  if (path.empty()) return {path, PathProblem::None};
  if (const auto bytes = codec.to_cp932(path)) {
    if (bytes->size() > kMaxProfileValueBytes) return {path, PathProblem::TooLong};
    return {path, PathProblem::None};
  }
  if (const auto short_form = file_system.short_path(path)) {
    const auto bytes = codec.to_cp932(*short_form);
    if (bytes && bytes->size() <= kMaxProfileValueBytes) return {*short_form, PathProblem::None};
  }
  return {path, PathProblem::NotInCodePage932};
}

}  // namespace vantrel
