#include "app/DemoPresets.h"

#include <cstring>

namespace dcs {

bool DemoRecordPlayed(int AIndex) { return !(AIndex >= 7 && AIndex <= 13) && AIndex != 47; }

double DemoNoFrequency(int AIndex)
{
    static constexpr double kValues[] = {0.0, 1.0, -2.5, 0.25};
    return kValues[AIndex % 4];
}

TFrequencyTable DemoPresetTable()
{
    TFrequencyTable t {};
    for (int p = 0; p < PresetCount; ++p) {
        if (!DemoRecordPlayed(p))
            continue;
        for (int i = 0; i < PresetTones; ++i)
            t[size_t(p)][size_t(PresetFirstTone + i)] =
                i == p % PresetTones ? DemoNoFrequency(p) : 30.0 + 13.0 * p + 220.0 * i;
    }
    static constexpr char kLabel[] = "SYNTHETIC DEMO PRESETS, NOT REAL DATA!!";
    static_assert(sizeof kLabel == PresetFirstTone * sizeof(double));
    std::memcpy(t[0].data(), kLabel, sizeof kLabel);
    return t;
}

}  // namespace dcs
