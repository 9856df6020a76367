#include "app/DataPictures.h"

#include "platform/base/Environment.h"

#include <exception>

namespace dcs {

bool LoadDataPicture(TImage* AImage, const std::string& ADataFolder, const std::string& AFile)
{
    if (AImage == nullptr)
        return false;
    try {
        AImage->Picture()->LoadFromFile(FileSystemPath(ADataFolder + "\\" + AFile));
        AImage->Invalidate();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace dcs
