// Option a: darkens every sample in place, 0 to 255 onto 0 to 191.
#include "dialogue/console.h"
#include "ops/ops.h"
#include "ops/tone.h"
#include "ops/vector_clones.h"

namespace pixamorph {

namespace {

constexpr char kColourDarkened[] = " カラー画像を暗くしました\n";
constexpr char kGreyDarkened[] = " グレースケール画像を暗くしました\n";

}  // namespace

PIXAMORPH_VECTOR_CLONES
void darkenRows(Plane& work, int rowSamples, int height) {
  for (int y = 0; y < height; ++y) {
    std::uint8_t* __restrict samples = work.row(y);
    for (int i = 0; i < rowSamples; ++i) samples[i] = darkened(samples[i]);
  }
}

void darkenImage(RunState& state) {
  if (state.flags.darken == 0) return;
  darkenRows(state.work, state.width * bytesPerPixel(state), state.height);
  state.console.print(isGrey(state) ? kGreyDarkened : kColourDarkened);
}

}  // namespace pixamorph
