#pragma once
// Whether a path can go into the settings file and come back as the same
// path. The file holds code page 932 and is read back cut at 255 bytes, so a
// path with characters code page 932 has no form for would be stored mangled,
// and a longer one cut; neither may be saved.

#include <string>

#include "platform/file_system.h"
#include "platform/text_codec.h"

namespace vantrel {

enum class PathProblem {
  None,
  NotInCodePage932,  // a character has no code-page-932 form, and no short form helps
  TooLong,           // its code-page-932 form is longer than a value the file reads back
};

struct StorablePath {
  std::string path;  // the form to store: the path itself, or its short (8.3) form
  PathProblem problem = PathProblem::None;
};

// The empty text and a path that fits are stored as they are. A path with a
// character outside code page 932 is stored in its short form when its
// volume keeps one that code page 932 can hold within the limit.
StorablePath storable_path(FileSystem& file_system, const TextCodec& codec, const std::string& path);

}  // namespace vantrel
