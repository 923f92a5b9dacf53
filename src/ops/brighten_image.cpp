// Option 9: brightens every sample in place, 0 to 255 onto 64 to 255.
#include "dialogue/console.h"
#include "ops/ops.h"
#include "ops/tone.h"
#include "ops/vector_clones.h"

namespace pixamorph {

namespace {

constexpr char kColourBrightened[] = " カラー画像を明るくしました\n";
constexpr char kGreyBrightened[] = " グレースケール画像を明るくしました\n";

}  // namespace

PIXAMORPH_VECTOR_CLONES
void brightenRows(Plane& work, int rowSamples, int height) {
  for (int y = 0; y < height; ++y) {
    std::uint8_t* __restrict samples = work.row(y);
    for (int i = 0; i < rowSamples; ++i) samples[i] = brightened(samples[i]);
  }
}

void brightenImage(RunState& state) {
  if (state.flags.brighten == 0) return;
  brightenRows(state.work, state.width * bytesPerPixel(state), state.height);
  state.console.print(isGrey(state) ? kGreyBrightened : kColourBrightened);
}

}  // namespace pixamorph
