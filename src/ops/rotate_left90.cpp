// Option 5: a quarter turn counter-clockwise; the new width drops to a multiple of 4.
#include "dialogue/console.h"
#include "dialogue/messages.h"
#include "ops/geometry.h"
#include "ops/ops.h"

namespace pixamorph {

namespace {

constexpr char kTurned[] = " 画像を左に90度回転しました\n";

}  // namespace

void rotateLeft90(RunState& state) {
  if (state.flags.turnLeft != 1) return;
  geometry::turnImageQuarter(state, geometry::Turn::Left);
  state.console.print(kTurned);
  state.console.printf(text::kDimensions, state.width, state.height);
}

}  // namespace pixamorph
