#pragma once
// Pictures as GDI bitmaps, for painting with BitBlt and StretchBlt.

#include <windows.h>

#include "platform/handles_win32.h"
#include "platform/picture.h"

namespace vantrel {

// A 32-bit top-down device-independent bitmap of the picture, opaque (GDI
// ignores the fourth byte when it copies). Empty when the picture is empty or
// GDI cannot make one.
GdiObject make_dib(const Picture& picture);

}  // namespace vantrel
