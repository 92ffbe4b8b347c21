#pragma once
// The caption-rectangle animations of the settings dialog: the window's
// caption bar travelling from a point to the window as it opens, and back to
// the point as it closes.

#include <windows.h>

namespace vantrel {

// From the point (a rectangle of no size there) to the window's rectangle.
void Open_Animation(HWND window, POINT from);

// From the window's rectangle to the point. Hide the window first: the
// caption leaves it.
void Close_Animation(HWND window, POINT to);

}  // namespace vantrel
