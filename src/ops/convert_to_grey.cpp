// Option 1: turns the colour image into one grey byte per pixel, before every other operation.
#include <array>
#include <cstring>

#include "dialogue/console.h"
#include "ops/grey.h"
#include "ops/ops.h"
#include "ops/vector_clones.h"

namespace pixamorph {

namespace {

constexpr char kConverted[] = " カラー画像のグレー画像への変換をしました\n";

// Writes the grey value of each of the `width` pixels of the colour row `bgr` to `grey`.
[[gnu::always_inline]] inline void greyRow(const std::uint8_t* __restrict bgr,
                                           std::uint8_t* __restrict grey, int width) {
  for (int x = 0; x < width; ++x) grey[x] = greyOf(bgr[3 * x], bgr[3 * x + 1], bgr[3 * x + 2]);
}

}  // namespace

// Each row is converted into a small buffer and copied back, so that the loop reads and writes
// separate memory and vectorises, and no page of `scratch` has to be touched.
PIXAMORPH_VECTOR_CLONES
void convertRowsToGrey(Plane& work, int width, int height) {
  std::array<std::uint8_t, kMaxSide> grey;
  for (int y = 0; y < height; ++y) {
    greyRow(work.row(y), grey.data(), width);
    std::memcpy(work.row(y), grey.data(), static_cast<std::size_t>(width));
  }
}

// Runs only for a colour input with option 1; an 8-bit input is grey already and is left alone.
// `mode` already reads ColourToGrey on entry, so it is `channels` that says `work` is colour.
void convertToGrey(RunState& state) {
  if (state.channels != 3 || state.mode != PixelMode::ColourToGrey) return;
  convertRowsToGrey(state.work, state.width, state.height);
  state.console.print(kConverted);
}

}  // namespace pixamorph
