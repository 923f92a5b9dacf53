// Option 6: a half turn; the size stays, so no dimensions message follows.
#include "dialogue/console.h"
#include "ops/geometry.h"
#include "ops/ops.h"

namespace pixamorph {

namespace {

constexpr char kTurned[] = " 画像を180度回転しました\n";

}  // namespace

// Done in place, row pairs from both ends at once, so no page of `scratch` is touched.
void rotate180(RunState& state) {
  if (state.flags.turn180 != 1) return;
  geometry::turnHalf(geometry::rowsOf(state.work), state.width, state.height, bytesPerPixel(state));
  state.console.print(kTurned);
}

}  // namespace pixamorph
