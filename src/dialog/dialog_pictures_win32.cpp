#include "dialog/dialog_pictures_win32.h"

#include <optional>

#include "platform/dib_win32.h"
#include "platform/embedded_data_win32.h"
#include "platform/picture_decoder_win32.h"
#include "resources/resource_ids.h"

namespace vantrel {
namespace {

// Resource ids by CarriedPicture value, then the texture.
constexpr std::array<int, 6> kResourceIds = {IDR_DIALOG_HEADING,        IDR_DIALOG_BUTTON_PRESSED,
                                             IDR_DIALOG_BUTTON_RAISED,  IDR_DIALOG_OPTION_OFF,
                                             IDR_DIALOG_OPTION_ON,      IDR_DIALOG_TEXTURE};

}  // namespace

DialogPictures::DialogPictures(HINSTANCE module) {
  Win32PictureDecoder decoder;
  const TargetSize own_size = [](PictureSize own) { return own; };
  for (std::size_t i = 0; i < kResourceIds.size(); ++i) {
    if (std::optional<DecodedPicture> decoded =
            decoder.decode_memory(embedded_bytes(module, kResourceIds[i]), own_size, Resampling::Smooth)) {
      sources_[i] = std::move(decoded->pixels);
    }
  }
}

DeviceSize DialogPictures::texture_size() const { return {sources_[kTexture].width, sources_[kTexture].height}; }

HBITMAP DialogPictures::texture(DeviceSize size) { return scaled(kTexture, size); }

HBITMAP DialogPictures::picture(CarriedPicture picture, DeviceSize size) {
  return scaled(static_cast<std::size_t>(picture), size);
}

HBITMAP DialogPictures::scaled(std::size_t source, DeviceSize size) {
  const Picture& own = sources_[source];
  if (own.width <= 0 || size.width <= 0 || size.height <= 0) return nullptr;
  const auto key = std::make_tuple(source, size.width, size.height);
  auto found = scaled_.find(key);
  if (found == scaled_.end()) {
    found = scaled_.emplace(key, make_dib(resample(rows_of(own), {size.width, size.height}))).first;
  }
  return static_cast<HBITMAP>(found->second.get());
}

}  // namespace vantrel
