// Option b: inverts the lightness of every sample in place.
#include "dialogue/console.h"
#include "ops/ops.h"
#include "ops/tone.h"
#include "ops/vector_clones.h"

namespace pixamorph {

namespace {

constexpr char kColourInverted[] = " カラー画像の明度の反転をしました\n";
constexpr char kGreyInverted[] = " グレースケール画像の明度の反転をしました\n";

}  // namespace

PIXAMORPH_VECTOR_CLONES
void invertRows(Plane& work, int rowSamples, int height) {
  for (int y = 0; y < height; ++y) {
    std::uint8_t* __restrict samples = work.row(y);
    for (int i = 0; i < rowSamples; ++i) samples[i] = inverted(samples[i]);
  }
}

void invertImage(RunState& state) {
  if (state.flags.invert == 0) return;
  invertRows(state.work, state.width * bytesPerPixel(state), state.height);
  state.console.print(isGrey(state) ? kGreyInverted : kColourInverted);
}

}  // namespace pixamorph
