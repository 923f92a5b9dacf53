// The console dialogue and the fixed pipeline of stages it drives.
#pragma once

#include "dialogue/console.h"
#include "dialogue/run_state.h"

namespace pixamorph {

// Holds the whole dialogue and conversion on `console`; returns the process exit status.
int runDialogue(Console& console);

// Applies one accepted option line to `mode` and the stage flags.
void applyOptionLine(RunState& state, const std::string& line);

// Runs the fourteen stages in their fixed order, stopping early if one ends the run.
void runPipeline(RunState& state);

// Ends the run because the console input ran out while an answer was awaited.
void stopAtEndOfInput(RunState& state);

}  // namespace pixamorph
