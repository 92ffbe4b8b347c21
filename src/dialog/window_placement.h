#pragma once
// Where the dialog's window goes on the screen.

#include "platform/pixel_rect.h"

namespace vantrel {

// A window of `width` x `height` centred on `screen`, then moved so that it
// lies on `work_area` (the screen less the taskbar and docked bars) as far as
// it can: a window larger than the work area keeps its top-left corner, and
// so its caption and close box, on it.
PixelRect centred_on_work_area(int width, int height, const PixelRect& screen, const PixelRect& work_area);

// `window` moved as little as it takes onto `work_area`, on the same terms.
PixelRect kept_on_work_area(const PixelRect& window, const PixelRect& work_area);

}  // namespace vantrel
