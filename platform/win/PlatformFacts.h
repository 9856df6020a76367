// What the program may ask of the desktop it runs on, as one replaceable object: screen
// size, work area (the screen less the task bar), pixels per inch, the reported
// operating-system version and the user's locale. The headless defaults stand for a
// 1920 x 1080 screen at 96 DPI with a 40-pixel task bar along the bottom; the SDL2
// presenter fills in the real display's values when it starts.
#pragma once

#include "platform/base/Geometry.h"

#include <cstdint>
#include <string>

namespace dcs {

struct TPlatformFacts {
    TSize Screen {1920, 1080};
    TRect WorkArea {0, 0, 1920, 1040};
    int DpiX = 96;
    int DpiY = 96;
    int OsMajor = 6;
    int OsMinor = 2;
    uint32_t LocaleId = 0x0409;  // the user's default locale (0x0411 is Japanese)
    std::string LocaleName = "en-US";
};

// The facts in force. GUI thread only.
const TPlatformFacts& PlatformFacts();
// Replaces the facts (tests, the presenter at start-up).
void SetPlatformFacts(const TPlatformFacts& Facts);
// Back to the headless defaults.
void ResetPlatformFacts();

// The shapes in which programs ask for them.
constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXDOUBLECLK = 36;
constexpr int SM_CYDOUBLECLK = 37;
int GetSystemMetrics(int Index);
// The work area (SPI_GETWORKAREA).
TRect GetWorkArea();
// Low byte major, next byte minor, as the version query reports it.
uint32_t GetVersion();
uint32_t GetUserDefaultLCID();
// Milliseconds between the two clicks of a double click.
uint32_t GetDoubleClickTime();

}  // namespace dcs
