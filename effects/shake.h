#pragma once
// "Shake": the picture repainted as a grid of circle outlines, each drawn in
// the colour of the untouched copy at its centre.

#include <functional>

#include "effects/pixel_buffer.h"

namespace fotello {

// Walks x by `stepX` across the target's width (x starts at stepX, and after
// passing the width goes back to 1 while y grows by `stepY`) until y passes
// the target's height + radius; at each point whose colour exists in `source`
// it draws a circle outline of that colour and `radius` on `target`.
// Steps of 0 or less would never end the walk: false, nothing drawn.
// `onRow` is told each new row y and the last row (height + radius), for the
// dialog's "AGUARDE... Linha" text.
bool ShakeEffect(PixelView source, PixelView target, int stepX, int stepY, int radius,
                 const std::function<void(long long y, long long last)>& onRow = {});

// The largest radius worth drawing on a width x height picture (the tool's
// DIÂMETRO): a larger circle centred on the picture has no point on it. The
// walk's length grows with the radius, so larger ones are refused, not run.
long long ShakeRadiusLimit(int width, int height);

// A one-pixel circle outline (midpoint rule), clipped to the picture.
void DrawCircle(PixelView picture, int cx, int cy, int radius, const std::uint8_t colour[3]);

} // namespace fotello
