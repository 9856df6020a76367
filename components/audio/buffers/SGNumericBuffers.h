// Typed vectors over shared, copy-on-write containers: doubles, signed 32-bit integers
// and complex doubles, one header each over the typed buffer they share.
#pragma once

#include "components/audio/buffers/SGComplexBuffer.h"
#include "components/audio/buffers/SGIntegerBuffer.h"
#include "components/audio/buffers/SGNumericTypes.h"
#include "components/audio/buffers/SGRealBuffer.h"
