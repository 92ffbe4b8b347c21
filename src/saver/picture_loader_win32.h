#pragma once
// Decodes the run's picture on a thread of its own, so that the screen is
// covered at once: a large photo takes about a second under GDI+, and the
// background needs none of it.

#include <windows.h>

#include <memory>
#include <string>

#include "platform/picture.h"

namespace vantrel {

// Posted to the window when the decode has ended. Its LPARAM carries the
// picture (take it with take_loaded_picture), or nothing when the file could
// not be read.
inline constexpr UINT kPictureLoadedMessage = WM_APP + 1;

// Starts the decode of `utf8_path`, scaled to at most `max_side` pixels. The
// thread holds nothing of the caller's; if the window has gone by the time it
// ends, the picture is dropped.
void load_picture_async(HWND window, std::string utf8_path, int max_side);

// The picture a kPictureLoadedMessage carries, now owned by the caller.
std::unique_ptr<Picture> take_loaded_picture(LPARAM lparam);

}  // namespace vantrel
