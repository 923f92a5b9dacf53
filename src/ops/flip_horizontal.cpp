// Option 8: mirrors the image left to right, in place; each pixel keeps its byte order.
#include "dialogue/console.h"
#include "ops/geometry.h"
#include "ops/ops.h"

namespace pixamorph {

namespace {

constexpr char kFlipped[] = " 画像を左右に反転しました\n";

}  // namespace

void flipHorizontal(RunState& state) {
  if (state.flags.flipLeftRight != 1) return;
  geometry::flipLeftToRight(geometry::rowsOf(state.work), state.width, state.height,
                            bytesPerPixel(state));
  state.console.print(kFlipped);
}

}  // namespace pixamorph
