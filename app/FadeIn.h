// The start of a session's tone: its amplitude raised from 1 to the target in 2000 steps
// of one millisecond each.
#pragma once

#include "components/audio/AUSignalGen.h"

#include <cstdint>

namespace dcs {

constexpr int FadeInSteps = 2000;

// Blocks the calling (GUI) thread for at least 2 s; each amplitude write takes the
// generator's lock. Ends on exactly ATarget.
void FadeIn(TAUSignalGen* AGen, int32_t ATarget);

}  // namespace dcs
