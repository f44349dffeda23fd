// What the sequencer calls after the phone identification: the model lookup and the
// positioning instruction.
#pragma once
#include "models/positioning.h"
#include "models/tac_lookup.h"
