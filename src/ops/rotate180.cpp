// Placeholder until the stage is built: the option is accepted and changes nothing.
#include "ops/ops.h"

namespace pixamorph {

void rotate180(RunState&) {}

}  // namespace pixamorph
