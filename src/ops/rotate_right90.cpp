// Option 4: a quarter turn clockwise; the new width drops to a multiple of 4.
#include "dialogue/console.h"
#include "dialogue/messages.h"
#include "ops/geometry.h"
#include "ops/ops.h"

namespace pixamorph {

namespace {

constexpr char kTurned[] = " 画像を右に90度回転しました\n";

}  // namespace

void rotateRight90(RunState& state) {
  if (state.flags.turnRight != 1) return;
  geometry::turnImageQuarter(state, geometry::Turn::Right);
  state.console.print(kTurned);
  state.console.printf(text::kDimensions, state.width, state.height);
}

}  // namespace pixamorph
