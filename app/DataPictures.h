// Pictures of the data folder (the body-zone artwork), installed apart from the program.
#pragma once

#include "platform/controls/ExtCtrls.h"

#include <string>

namespace dcs {

// Loads ADataFolder + "\" + AFile into AImage. Best-effort: a missing or unreadable file
// leaves the image as it was and answers false, so no handler stops half way over
// artwork.
bool LoadDataPicture(TImage* AImage, const std::string& ADataFolder, const std::string& AFile);

}  // namespace dcs
