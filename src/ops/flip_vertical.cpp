// Option 7: turns the image upside down, in place.
#include "dialogue/console.h"
#include "ops/geometry.h"
#include "ops/ops.h"

namespace pixamorph {

namespace {

constexpr char kFlipped[] = " 画像を上下に反転しました\n";

}  // namespace

void flipVertical(RunState& state) {
  if (state.flags.flipUpDown != 1) return;
  geometry::flipTopToBottom(geometry::rowsOf(state.work), state.width, state.height,
                            bytesPerPixel(state));
  state.console.print(kFlipped);
}

}  // namespace pixamorph
