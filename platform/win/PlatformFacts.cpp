#include "platform/win/PlatformFacts.h"

namespace dcs {

namespace {

TPlatformFacts& Facts()
{
    static TPlatformFacts f;
    return f;
}

}  // namespace

const TPlatformFacts& PlatformFacts() { return Facts(); }
void SetPlatformFacts(const TPlatformFacts& F) { Facts() = F; }
void ResetPlatformFacts() { Facts() = TPlatformFacts {}; }

int GetSystemMetrics(int Index)
{
    switch (Index) {
    case SM_CXSCREEN: return Facts().Screen.cx;
    case SM_CYSCREEN: return Facts().Screen.cy;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK: return 4;
    default: return 0;
    }
}

TRect GetWorkArea() { return Facts().WorkArea; }

uint32_t GetVersion()
{
    return static_cast<uint32_t>(Facts().OsMajor & 0xFF) | (static_cast<uint32_t>(Facts().OsMinor & 0xFF) << 8);
}

uint32_t GetUserDefaultLCID() { return Facts().LocaleId; }
uint32_t GetDoubleClickTime() { return 500; }

}  // namespace dcs
