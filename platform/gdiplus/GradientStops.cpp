#include "platform/gdiplus/GdipObjects.h"

#include <array>
#include <mutex>

namespace dcs::gdiplus {
namespace {

// Gamma 2.2 both ways, by table: a gamma-corrected gradient interpolates in linear light.
struct TGammaTables {
    std::array<double, 256> ToLinear;
    TGammaTables()
    {
        for (int i = 0; i < 256; ++i)
            ToLinear[size_t(i)] = std::pow(i / 255.0, 2.2);
    }
};

const TGammaTables& Gamma()
{
    static const TGammaTables t;
    return t;
}

double Channel(ARGB c, int shift) { return ((c >> shift) & 0xFF) / 255.0; }

void AddStop(cairo_pattern_t* pat, double offset, double a, double r, double g, double b)
{
    cairo_pattern_add_color_stop_rgba(pat, std::clamp(offset, 0.0, 1.0), r, g, b, a);
}

// Sub-stops per gradient segment in linear light: enough that the sRGB curve between
// them is within a level of the exact one.
constexpr int kGammaSteps = 16;

}  // namespace

void AddStops(cairo_pattern_t* pat, const std::vector<TStop>& stops, bool gamma)
{
    for (size_t i = 0; i < stops.size(); ++i) {
        const TStop& s = stops[i];
        if (!gamma || i + 1 == stops.size()) {
            AddStop(pat, s.Offset, Channel(s.Color, 24), Channel(s.Color, 16), Channel(s.Color, 8),
                    Channel(s.Color, 0));
            continue;
        }
        const TStop& e = stops[i + 1];
        const auto& lin = Gamma().ToLinear;
        for (int k = 0; k < kGammaSteps; ++k) {
            double t = double(k) / kGammaSteps;
            auto mix = [&](int shift) {
                double a = lin[(s.Color >> shift) & 0xFF], b = lin[(e.Color >> shift) & 0xFF];
                return std::pow(a + (b - a) * t, 1 / 2.2);
            };
            double alpha = Channel(s.Color, 24) + (Channel(e.Color, 24) - Channel(s.Color, 24)) * t;
            AddStop(pat, s.Offset + (e.Offset - s.Offset) * t, alpha, mix(16), mix(8), mix(0));
        }
    }
}

}  // namespace dcs::gdiplus
