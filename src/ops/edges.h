// Contour extraction: the Sobel gradient of every inner sample, drawn dark on white.
#pragma once

#include <algorithm>
#include <cstdint>

#include "dialogue/run_state.h"

namespace pixamorph {

// The contour sample for the Sobel sums sx and sy (each within ±1020): 255 − min(255,
// floor(0.75 (|sx| + |sy|))), the gain taken in integers as floor(3s / 4), exact for s ≤ 2040.
constexpr std::uint8_t contourOf(int sx, int sy) {
  int s = (sx < 0 ? -sx : sx) + (sy < 0 ? -sy : sy);
  int response = std::min(255, (3 * s) >> 2);
  return static_cast<std::uint8_t>(255 - response);
}

// Replaces rows 0 to height − 1 of `work`, `bytesPerPixel` 1 (grey) or 3 (colour), by their
// contour image: a white frame one pixel wide, and inside it each sample computed from the
// original 3 × 3 neighbourhood of its own channel. An image less than 3 pixels wide or high is
// all frame.
void extractContourRows(Plane& work, int width, int height, int bytesPerPixel);

}  // namespace pixamorph
