// The optional stages of the pipeline, in the order the pipeline calls them. Each returns at
// once, printing nothing, unless its option was chosen.
#pragma once

#include "dialogue/run_state.h"

namespace pixamorph {

void convertToGrey(RunState& state);
void trimImage(RunState& state);
void resizeImage(RunState& state);
void rotateRight90(RunState& state);
void rotateLeft90(RunState& state);
void rotate180(RunState& state);
void flipVertical(RunState& state);
void flipHorizontal(RunState& state);
void brightenImage(RunState& state);
void darkenImage(RunState& state);
void invertImage(RunState& state);
void extractEdges(RunState& state);

}  // namespace pixamorph
