#pragma once
// The pictures the settings dialog carries, decoded once from the program's
// resources and kept as bitmaps at the sizes the dialog shows them: scaled
// smoothly from their own pixels, so a display at 150 % shows them soft-edged
// rather than blocky.

#include <windows.h>

#include <array>
#include <map>
#include <tuple>

#include "dialog/dialog_layout.h"
#include "dialog/dialog_state.h"
#include "platform/handles_win32.h"
#include "platform/picture.h"

namespace vantrel {

class DialogPictures {
 public:
  // Decodes every carried picture from `module`'s resources. A picture that
  // cannot be decoded is missing: bitmap() gives nothing for it and the
  // dialog draws without it.
  explicit DialogPictures(HINSTANCE module);

  // The texture tile's own size (560 x 20).
  DeviceSize texture_size() const;
  // The picture at `size` device pixels; null when it is missing. Valid until
  // forget_scaled().
  HBITMAP texture(DeviceSize size);
  HBITMAP picture(CarriedPicture picture, DeviceSize size);
  // Drops the scaled bitmaps (the display's DPI changed).
  void forget_scaled() { scaled_.clear(); }

 private:
  static constexpr std::size_t kTexture = 5;  // after the five CarriedPicture values
  HBITMAP scaled(std::size_t source, DeviceSize size);

  std::array<Picture, kTexture + 1> sources_;
  std::map<std::tuple<std::size_t, int, int>, GdiObject> scaled_;
};

}  // namespace vantrel
