// State the form resizer's files share: what the whole unit remembers across kits, and
// the truncating conversions every coordinate and font size goes through.
#pragma once

#include "ui/resize/FormResizer.h"

#include <cmath>
#include <limits>
#include <map>

namespace dcs::resize_detail {

struct TResizeUnit {
    std::vector<TFormResizer*> Kits;  // listed kits, in load order
    int Live = 0;                     // kits alive (listed or not)
    int OsMajor = 0;
    int OsMinor = 0;
    std::shared_ptr<IResizeSystem> Hook;  // the system whose hook is installed, if any
    bool Japanese = false;
    int ScreenW = 0;
    int ScreenH = 0;
    // Windows whose procedure a kit has replaced, with the way back to the previous one.
    std::map<uintptr_t, std::shared_ptr<IResizeWindow>> Intercepted;
};

TResizeUnit& Unit();

// Truncation toward zero of an extended-precision value; values beyond the integer
// range (a scale gone wild) stop at its ends instead of wrapping.
inline int Trunc(long double V)
{
    if (std::isnan(V))
        return 0;
    if (V >= static_cast<long double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (V <= static_cast<long double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(std::trunc(V));
}

// trunc(V / S + 0.5) and trunc(V * S + 0.5) in extended precision.
inline int DivRound(int V, double S) { return Trunc(static_cast<long double>(V) / S + 0.5L); }
inline int MulRound(int V, double S) { return Trunc(static_cast<long double>(V) * S + 0.5L); }

}  // namespace dcs::resize_detail
