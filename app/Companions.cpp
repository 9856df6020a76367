#include "app/Companions.h"

#include "app/ProcessLauncher.h"
#include "platform/base/Environment.h"

namespace dcs {

const char* const MakerWebSite = "https://www.dorvaquent.com/";

namespace {

const char* const ZanterholPart = "//Zanterhol//Zanterhol.exe";
const char* const OsmerlainePart = "//Osmerlaine//Osmerlaine Pro//OsmerPro.exe";
const char* const OsmerlaineMakerPart = "//Dorvaquent//Osmerlaine//OsmerPro.exe";
const char* const Updater = "updater.exe";

void LaunchPath(const std::string& APath)
{
    const std::string file = FileSystemPath(APath);
    Launch({file, {file}, false});
}

}  // namespace

TCompanionPresence FindCompanions(const std::string& AProgramFiles)
{
    TCompanionPresence found;
    found.Zanterhol = FileExists(AProgramFiles + ZanterholPart);
    found.Osmerlaine = FileExists(AProgramFiles + OsmerlainePart);
    if (FileExists(AProgramFiles + OsmerlaineMakerPart)) {
        found.Osmerlaine = true;
        found.SecondCompanionInMakerFolder = true;
    }
    return found;
}

std::string ZanterholPath(const std::string& AProgramFiles) { return AProgramFiles + ZanterholPart; }

std::string OsmerlainePath(const std::string& AProgramFiles, bool ASecondCompanionInMakerFolder)
{
    return AProgramFiles + (ASecondCompanionInMakerFolder ? OsmerlaineMakerPart : OsmerlainePart);
}

void LaunchZanterhol(const std::string& AProgramFiles) { LaunchPath(ZanterholPath(AProgramFiles)); }

void LaunchOsmerlaine(const std::string& AProgramFiles, bool ASecondCompanionInMakerFolder)
{
    LaunchPath(OsmerlainePath(AProgramFiles, ASecondCompanionInMakerFolder));
}

void LaunchUpdater()
{
    const std::string here = std::string("./") + Updater;
    if (FileExists(here))
        Launch({here, {Updater, "/checknow"}, false});
    else
        Launch({Updater, {Updater, "/checknow"}, true});
}

void OpenMakerWebSite() { Launch({"xdg-open", {"xdg-open", MakerWebSite}, true}); }

}  // namespace dcs
