// The instruction how to place the identified phone in the coupler.
#pragma once

namespace celvio {

struct App;

// Shows the holder, the position and its picture (or the model's own instruction
// with the K530 coupler) and waits for "&Done" or STOP. Shows nothing when there is
// nothing to say.
void ShowPositioningInstruction(App& app);

}  // namespace celvio
