#pragma once
// Effects the effects window runs outside the filter engine: mirrors, mosaic,
// dotted and fade. They work on pictures in memory; no temporary bitmap files.

#include "effects/pixel_buffer.h"
#include "effects/uniform_random.h"

namespace fotello {

// Target becomes the source mirrored left-right (vertical false) or top-bottom
// (vertical true). The caller passes the untouched copy as source, so a mirror
// always starts from the picture as loaded. False when the sizes differ or the
// two overlap (nothing is written then).
bool FlipPicture(PixelView source, PixelView target, bool vertical);

// Each 4 x 4 tile takes the colour of its top-left pixel (tiles from the top left).
void MosaicEffect(PixelView picture);

// Each pixel, in reading order, takes the colour of a random pixel up to six
// away (offsets -6..5 on each axis) when that pixel lies inside the picture.
// Reseeds the generator from the clock unless `reseed` is false (tests).
void DottedEffect(PixelView picture, UniformRandom& random, bool reseed = true);

// Each pixel of the overlap of the two pictures becomes, from the source's
// green g and blue b: mode 1 grey (g, g, g), mode 2 grey (b, b, b); with
// `swap` red g, green g, blue b instead (the menu's call: mode 1, swap). Other
// modes without swap copy the source colour. Source and target may be the same.
void FadeEffect(PixelView source, PixelView target, int mode, bool swap);

} // namespace fotello
