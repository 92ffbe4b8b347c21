#pragma once
// The smaller copies of a texture that trilinear filtering samples from, so
// that a picture seen small on the screen shows its average, not a sparkle of
// whichever texels happen to land on pixel centres.

#include <vector>

#include "platform/picture.h"

namespace vantrel {

// Level 0 is the picture itself; each next level halves both sides (a side
// already 1 stays 1) down to 1 x 1, as OpenGL requires of a complete chain.
using MipChain = std::vector<Picture>;

// The whole chain of `base`, whose sides must be powers of two. Each texel of
// a level is the box average of the 2 x 2 (or 2 x 1) texels under it, taken
// in linear light: colours are turned from sRGB to light, averaged, weighted
// by alpha so transparent texels lend no colour, and turned back. Averaging
// the stored sRGB values instead would darken fine detail (a black and white
// checker would become byte 128, not the grey of half the light). Empty for
// an empty picture.
MipChain make_mip_chain(Picture base);

// True when `chain` is what OpenGL accepts as complete: at least one level,
// each level's sides half the one before (never below 1), the last 1 x 1, and
// every level's pixels present.
bool is_complete_mip_chain(const MipChain& chain);

}  // namespace vantrel
