// Pins: the connection points of processing components, the links between them with the
// stream type both ends agree on, the operations that travel along links, and the two
// process-wide registries of stream types and format converters.
//
// A source pin keeps an ordered list of links; a sink pin has one source. Whichever end
// the caller starts from, the sink's ConnectAfter makes the link. No component lock and
// no pin lock is held while an operation is delivered to another component: the sending
// pin gives up its owner's levels and guards each delivery with its own destroy lock.
#pragma once

#include "components/pins/PNBasicPin.h"
#include "components/pins/PNFormatConverter.h"
#include "components/pins/PNOperations.h"
#include "components/pins/PNSinkPin.h"
#include "components/pins/PNSourcePin.h"
#include "components/pins/PNStreamTypes.h"
