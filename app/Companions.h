// The companion programs Zanterhol and Osmerlaine, the updater and the maker's web site:
// which companions are installed under the program-files folder, and how each is started.
// Everything is fire-and-forget; no result is looked at or reported.
#pragma once

#include <string>

namespace dcs {

extern const char* const MakerWebSite;

struct TCompanionPresence {
    bool Zanterhol = false;
    bool Osmerlaine = false;
    bool SecondCompanionInMakerFolder = false;  // the maker-folder copy of Osmerlaine is run
};

// The presence tests of start-up, made once. AProgramFiles is the folder as the
// environment gives it; the doubled separators of the paths collapse at the file system.
TCompanionPresence FindCompanions(const std::string& AProgramFiles);

std::string ZanterholPath(const std::string& AProgramFiles);
// The copy whose presence enabled the Osmerlaine buttons: the maker-folder copy when
// there is one, else the program-files copy.
std::string OsmerlainePath(const std::string& AProgramFiles, bool ASecondCompanionInMakerFolder);

// Each path is passed as the program's one argument, spaces and all.
void LaunchZanterhol(const std::string& AProgramFiles);
void LaunchOsmerlaine(const std::string& AProgramFiles, bool ASecondCompanionInMakerFolder);
// "updater.exe /checknow", looked for in the current directory, then on the search path.
void LaunchUpdater();
// The web site in the default browser.
void OpenMakerWebSite();

}  // namespace dcs
