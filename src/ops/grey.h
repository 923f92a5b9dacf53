// Colour to grey: the luma of blue, green, red pixels in integer weights.
#pragma once

#include <cstdint>

#include "dialogue/run_state.h"

namespace pixamorph {

// The grey value of one pixel. The weights (0.114, 0.587, 0.299 times 256, rounded) add up to
// 256, so the sum stays within 16 bits and the shift, which drops the fraction, leaves 0 to 255.
constexpr std::uint8_t greyOf(std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
  return static_cast<std::uint8_t>((29 * blue + 150 * green + 77 * red) >> 8);
}

// Turns rows 0 to height − 1 of `work` from colour (three bytes a pixel) into grey (one byte)
// in place. Only the first `width` bytes of a row change.
void convertRowsToGrey(Plane& work, int width, int height);

}  // namespace pixamorph
