#include "saver/picture_loader_win32.h"

#include <optional>
#include <thread>

#include "platform/picture_decoder_win32.h"

namespace vantrel {

void load_picture_async(HWND window, std::string utf8_path, int max_side) {
  // Detached: ending the saver must never wait for a decode. The thread owns
  // its decoder and its copy of the path; the process's end stops it.
  std::thread([window, path = std::move(utf8_path), max_side] {
    std::unique_ptr<Picture> picture;
    {
      GdiplusPictureDecoder decoder;
      if (std::optional<Picture> decoded = decoder.decode(path, max_side))
        picture = std::make_unique<Picture>(std::move(*decoded));
    }
    if (PostMessageW(window, kPictureLoadedMessage, 0, reinterpret_cast<LPARAM>(picture.get())))
      picture.release();  // the window's thread owns it now
  }).detach();
}

std::unique_ptr<Picture> take_loaded_picture(LPARAM lparam) {
  return std::unique_ptr<Picture>(reinterpret_cast<Picture*>(lparam));
}

}  // namespace vantrel
