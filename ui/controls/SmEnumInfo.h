// The value names of the smooth controls' enumerations, as stored layouts write them.
#pragma once

#include "platform/classes/Classes.h"

namespace dcs::smooth {

const TEnumInfo& SmGradientTypeInfo();
const TEnumInfo& LedValueTypeInfo();
const TEnumInfo& SmoothLabelLocationInfo();
const TEnumInfo& TrackBarDirectionInfo();

}  // namespace dcs::smooth
