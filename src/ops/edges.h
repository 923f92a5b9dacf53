// Contour extraction: the Sobel gradient of every inner sample, drawn dark on white.
#pragma once

#include <algorithm>
#include <cstdint>

#include "dialogue/run_state.h"

namespace pixamorph {

// Sobel weights by neighbour row (y − 1, y, y + 1; rows count from the bottom of the image) and
// column (x − 1, x, x + 1): sx grows where the image gets brighter to the right, sy upwards.
// Each table adds up to 0, and the centre weight is 0 in both.
inline constexpr int kSobelX[3][3] = {{-1, 0, 1}, {-2, 0, 2}, {-1, 0, 1}};
inline constexpr int kSobelY[3][3] = {{-1, -2, -1}, {0, 0, 0}, {1, 2, 1}};

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
