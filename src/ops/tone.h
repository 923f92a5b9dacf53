// Brightening, darkening and inverting: each sample changed by itself.
#pragma once

#include <cstdint>

#include "dialogue/run_state.h"

namespace pixamorph {

// 0.75 v truncated toward zero, which is floor(3v / 4): every intermediate of the real-number
// form is exact. Taken here as the average of v and floor(v / 2) rounded down, spelt without a
// carry out of 8 bits, so that the loops work on bytes, thirty-two at a time.
constexpr std::uint8_t darkened(std::uint8_t v) {
  auto half = static_cast<std::uint8_t>(v >> 1);
  return static_cast<std::uint8_t>((v & half) + ((v ^ half) >> 1));
}

// 0.75 v + 64 truncated toward zero: 64 + floor(3v / 4).
constexpr std::uint8_t brightened(std::uint8_t v) {
  return static_cast<std::uint8_t>(64 + darkened(v));
}

constexpr std::uint8_t inverted(std::uint8_t v) { return static_cast<std::uint8_t>(255 - v); }

// Each changes the first `rowSamples` samples of rows 0 to height − 1 of `work` in place. The
// channels are treated alike, so a colour row is simply three samples a pixel.
void brightenRows(Plane& work, int rowSamples, int height);
void darkenRows(Plane& work, int rowSamples, int height);
void invertRows(Plane& work, int rowSamples, int height);

}  // namespace pixamorph
