#include "platform/gdi/Gdi.h"

namespace dcs {
namespace {

// The classic scheme: the controls only need stable, plausible values.
constexpr COLORREF kSysColors[] = {
    RGB(212, 208, 200), RGB(58, 110, 165),  RGB(10, 36, 106),   RGB(128, 128, 128), RGB(212, 208, 200),
    RGB(255, 255, 255), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(255, 255, 255),
    RGB(212, 208, 200), RGB(212, 208, 200), RGB(128, 128, 128), RGB(10, 36, 106),   RGB(255, 255, 255),
    RGB(212, 208, 200), RGB(128, 128, 128), RGB(128, 128, 128), RGB(0, 0, 0),       RGB(212, 208, 200),
    RGB(255, 255, 255), RGB(64, 64, 64),    RGB(212, 208, 200), RGB(0, 0, 0),       RGB(255, 255, 225),
    RGB(181, 181, 181), RGB(0, 0, 128),     RGB(166, 202, 240), RGB(192, 192, 192), RGB(49, 106, 197),
    RGB(236, 233, 216),
};

}  // namespace

COLORREF GetSysColor(int index)
{
    if (index < 0 || index >= int(sizeof(kSysColors) / sizeof(kSysColors[0])))
        return 0;
    return kSysColors[index];
}

TColor ColorToRGB(TColor color)
{
    if (color < 0)
        return TColor(GetSysColor(color & 0xFF));
    return color;
}

}  // namespace dcs
