// The windows' pictures (drawn by tools/artwork.cpp, committed in artwork/window) linked
// into the program as named raw resources, which the pictures load by name.
#pragma once

namespace dcs::resources {

// Registers the pictures below; once, on the GUI thread, before the first load.
void Link_Artwork();

inline constexpr const char* IconPicture = "DORVAQUENT_ICON";
inline constexpr const char* StopPicture = "STOP";
inline constexpr const char* StartPicture = "START";
// The intensity toggles' down pictures, in caption order: Ultra, High, Medium, Low.
inline constexpr const char* IntensityPictures[4] = {"INTENSITY_ULTRA", "INTENSITY_HIGH", "INTENSITY_MEDIUM",
                                                     "INTENSITY_LOW"};

}  // namespace dcs::resources
