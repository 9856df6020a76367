// Writing a control's look into a picture file.
#pragma once

#include "platform/controls/Graphics.h"
#include "ui/controls/SmGDIP.h"

#include <functional>
#include <string>

namespace dcs::smooth {

// Paint draws the control on a canvas of Width x Height; that picture is stretched to
// ImageWidth x ImageHeight and saved as ImageType with the quality clamped to 0..100.
// The save status is not reported (a failed save leaves no file); running out of memory
// raises EPictureMemory "Could not allocate memory for image".
void SaveControlImage(const std::function<void(TCanvas&)>& Paint, int Width, int Height, const std::string& FileName,
                      int ImageWidth, int ImageHeight, TImageType ImageType, int ImageQualityPercentage);

}  // namespace dcs::smooth
