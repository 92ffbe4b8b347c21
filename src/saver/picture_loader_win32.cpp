#include "saver/picture_loader_win32.h"

#include <new>
#include <utility>

#include "platform/picture_decoder_win32.h"

namespace vantrel {

PictureLoader::PictureLoader(std::string utf8_path, TargetSize texture_size)
    : thread_([this, path = std::move(utf8_path), texture_size = std::move(texture_size)] {
        std::optional<MipChain> picture;
        {
          Win32PictureDecoder decoder;  // its own COM and GDI+ for this thread
          if (auto decoded = decoder.decode_file(path, texture_size, Resampling::Smooth)) {
            try {
              picture = make_mip_chain(std::move(decoded->pixels));
            } catch (const std::bad_alloc&) {
              // no room for the chain: the background alone, as for an unreadable picture
            }
          }
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

std::optional<MipChain> PictureLoader::take() {
  const std::lock_guard lock(mutex_);
  return std::exchange(picture_, std::nullopt);
}

}  // namespace vantrel
