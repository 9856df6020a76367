#include "ui/controls/SmEnumInfo.h"

namespace dcs::smooth {

const TEnumInfo& SmGradientTypeInfo()
{
    static const TEnumInfo info {"TSmGradientType",
                                 {"gtSolid", "gtRadial", "gtVertical", "gtHorizontal", "gtForwardDiagonal",
                                  "gtBackwardDiagonal", "gtAngle", "gtHatch", "gtPath", "gtTexture", "gtNone"}};
    return info;
}

const TEnumInfo& LedValueTypeInfo()
{
    static const TEnumInfo info {"TSmoothLedLabelValueType", {"vtNormal", "vtDateTime"}};
    return info;
}

const TEnumInfo& SmoothLabelLocationInfo()
{
    static const TEnumInfo info {"TSmoothLabelLocation",
                                 {"plTopLeft", "plTopCenter", "plTopRight", "plCenterLeft", "plCenterCenter",
                                  "plCenterRight", "plBottomLeft", "plBottomCenter", "plBottomRight", "plCustom"}};
    return info;
}

const TEnumInfo& TrackBarDirectionInfo()
{
    static const TEnumInfo info {"TSmoothTrackBarDirection", {"dVertical", "dHorizontal"}};
    return info;
}

}  // namespace dcs::smooth
