#include "saver/picture_loader_win32.h"

#include <utility>

#include "platform/picture_decoder_win32.h"

namespace vantrel {

PictureLoader::PictureLoader(std::string utf8_path, int max_side)
    : thread_([this, path = std::move(utf8_path), max_side] {
        std::optional<Picture> picture;
        {
          Win32PictureDecoder decoder;  // its own COM and GDI+ for this thread
          const TargetSize as_texture = [max_side](PictureSize own) { return texture_size(own, max_side); };
          if (auto decoded = decoder.decode_file(path, as_texture, Resampling::Smooth))
            picture = std::move(decoded->pixels);
        }
        const std::lock_guard lock(mutex_);
        picture_ = std::move(picture);
        done_ = true;
        if (window_) PostMessageW(window_, kPictureLoadedMessage, 0, 0);
      }) {}

PictureLoader::~PictureLoader() { thread_.join(); }

void PictureLoader::tell(HWND window) {
  const std::lock_guard lock(mutex_);
  window_ = window;
  if (done_ && window_) PostMessageW(window_, kPictureLoadedMessage, 0, 0);
}

std::optional<Picture> PictureLoader::take() {
  const std::lock_guard lock(mutex_);
  return std::exchange(picture_, std::nullopt);
}

}  // namespace vantrel
