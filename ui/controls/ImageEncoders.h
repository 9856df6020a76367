// Saving images: the quality parameter list and the encoder lookup by image type.
#pragma once

#include "ui/controls/SmGDIP.h"

namespace dcs::smooth {

// The list and the clamped quality it points at; keep it alive until the save returns.
struct TQualityParameters {
    EncoderParameters List;
    UINT Quality = 0;
    TQualityParameters() = default;
    TQualityParameters(const TQualityParameters&) = delete;
    TQualityParameters& operator=(const TQualityParameters&) = delete;
};
// Quality clamped to 0..100.
void QualityEncoderParameters(int quality, TQualityParameters& out);
// The class id of the first installed encoder whose MIME type matches exactly; false
// (and a null id) when there is none.
bool EncoderClsidForType(TImageType imageType, TGUID& clsid);

}  // namespace dcs::smooth
