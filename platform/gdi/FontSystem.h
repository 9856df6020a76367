// Font resolution and text layout over pango and fontconfig, shared by the GDI text
// calls and the GDI+ engine.
//
// System family names that programs ask for resolve through one alias table onto the
// installed fonts; any other name must match an installed family exactly (fontconfig
// would otherwise substitute silently, and callers need to learn that a family is
// missing). Layouts use no hinting and fractional metrics, so text extents depend on
// the font files only.
#pragma once

#include <pango/pangocairo.h>

#include <string>
#include <string_view>

namespace dcs::gdi {

// The family used when a name resolves to nothing.
inline constexpr const char* DefaultFontFamily = "DejaVu Sans";

// The installed family for `name` (alias table first, then an exact installed family,
// case-insensitive), or "" when there is none. Takes a lock (a shared cache).
std::string ResolveFontFamily(std::string_view name);

struct TFontSpec {
    std::string Family = DefaultFontFamily;  // a resolved, installed family
    double PixelSize = 12.0;                 // em height in device pixels
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
};

// Hot-key prefix handling: "&x" marks x, "&&" is a literal "&".
enum class TPrefixMode {
    None,
    Show,
    Hide
};

struct TPrefixedText {
    std::string Text;         // with the markers removed
    int UnderlineStart = -1;  // byte range of the marked character, -1 when none
    int UnderlineEnd = -1;
};
TPrefixedText StripHotkeyPrefix(std::string_view text, TPrefixMode mode);

// A layout of `text` in the font, on this thread's pango context (layouts are used on
// the thread that made them). The caller unrefs it (g_object_unref).
PangoLayout* CreateTextLayout(const TFontSpec& font, std::string_view text, TPrefixMode prefix = TPrefixMode::None);

// Ascent and descent of the font in pixels.
void FontMetrics(const TFontSpec& font, double* ascent, double* descent);

inline double FromPango(int units) { return double(units) / PANGO_SCALE; }
inline int ToPango(double px) { return int(px * PANGO_SCALE + (px < 0 ? -0.5 : 0.5)); }

}  // namespace dcs::gdi
