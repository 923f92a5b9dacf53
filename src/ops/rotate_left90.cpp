// Option 5: a quarter turn counter-clockwise; the new width drops to a multiple of 4.
#include <utility>

#include "dialogue/console.h"
#include "dialogue/messages.h"
#include "ops/geometry.h"
#include "ops/ops.h"

namespace pixamorph {

namespace {

constexpr char kTurned[] = " 画像を左に90度回転しました\n";

}  // namespace

// The source rows from the new width on (the top height mod 4 rows) are lost.
void rotateLeft90(RunState& state) {
  if (state.flags.turnLeft != 1) return;
  const int oldWidth = state.width;
  const int oldHeight = state.height;
  state.height = oldWidth;
  state.width = oldHeight - oldHeight % 4;
  geometry::turnQuarter(geometry::rowsOf(state.work), geometry::rowsOf(state.scratch), oldWidth,
                        state.width, bytesPerPixel(state), geometry::Turn::Left);
  std::swap(state.work, state.scratch);
  state.console.print(kTurned);
  state.console.printf(text::kDimensions, state.width, state.height);
}

}  // namespace pixamorph
