#include "platform/gdi/FontSystem.h"

#include "platform/base/Strings.h"

#include <fontconfig/fontconfig.h>

#include <map>
#include <memory>
#include <mutex>

namespace dcs::gdi {
namespace {

struct TAlias {
    const char* Name;
    const char* Family;
};

// System family names the forms and controls ask for, onto the fonts this system ships.
constexpr TAlias kAliases[] = {
    {"Tahoma", "DejaVu Sans"},          {"Segoe UI", "DejaVu Sans"},
    {"MS Sans Serif", "DejaVu Sans"},   {"Microsoft Sans Serif", "DejaVu Sans"},
    {"MS Shell Dlg", "DejaVu Sans"},    {"MS Shell Dlg 2", "DejaVu Sans"},
    {"Verdana", "DejaVu Sans"},         {"Arial", "Liberation Sans"},
    {"Courier New", "Liberation Mono"}, {"Times New Roman", "Liberation Serif"},
    {"Symbol", "DejaVu Sans"},  // has the Greek letters and the bullets
};

bool InstalledFamily(const std::string& name, std::string* exact)
{
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
    FcObjectSet* os = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* fs = FcFontList(nullptr, pat, os);
    bool found = false;
    // FcFontList matches any of a font's family names; report the one asked for.
    for (int i = 0; fs && i < fs->nfont && !found; ++i) {
        FcChar8* fam = nullptr;
        for (int k = 0; FcPatternGetString(fs->fonts[i], FC_FAMILY, k, &fam) == FcResultMatch; ++k) {
            if (SameText(reinterpret_cast<const char*>(fam), name)) {
                *exact = reinterpret_cast<const char*>(fam);
                found = true;
                break;
            }
        }
    }
    if (fs)
        FcFontSetDestroy(fs);
    FcObjectSetDestroy(os);
    FcPatternDestroy(pat);
    return found;
}

std::mutex gResolveLock;
std::map<std::string, std::string> gResolved;  // upper-case name -> family or ""

// One font map and context per thread: pango objects are not shared across threads.
struct TThreadText {
    PangoFontMap* Map = nullptr;
    PangoContext* Context = nullptr;
    std::map<std::string, PangoFontDescription*> Descriptions;
    TThreadText()
    {
        // Configured before pango starts its own initialising thread, so that thread
        // finds the configuration in place.
        static const bool configured = FcInit();
        (void)configured;
        Map = pango_cairo_font_map_new();
        Context = pango_font_map_create_context(Map);
        cairo_font_options_t* opts = cairo_font_options_create();
        cairo_font_options_set_hint_style(opts, CAIRO_HINT_STYLE_NONE);
        cairo_font_options_set_hint_metrics(opts, CAIRO_HINT_METRICS_OFF);
        cairo_font_options_set_antialias(opts, CAIRO_ANTIALIAS_GRAY);
        pango_cairo_context_set_font_options(Context, opts);
        cairo_font_options_destroy(opts);
        pango_cairo_context_set_resolution(Context, 96.0);
        pango_context_set_round_glyph_positions(Context, FALSE);
    }
    ~TThreadText()
    {
        for (auto& [k, d] : Descriptions)
            pango_font_description_free(d);
        g_object_unref(Context);
        g_object_unref(Map);
    }
};

TThreadText& ThreadText()
{
    thread_local TThreadText t;
    return t;
}

// Descriptions are reused: building one per paint shows up in the repaint profile.
const PangoFontDescription* Description(const TFontSpec& f)
{
    std::string key = f.Family + '\n' + std::to_string(f.PixelSize) + char('0' + f.Bold) + char('0' + f.Italic);
    auto& cache = ThreadText().Descriptions;
    auto it = cache.find(key);
    if (it != cache.end())
        return it->second;
    PangoFontDescription* d = pango_font_description_new();
    pango_font_description_set_family(d, f.Family.c_str());
    pango_font_description_set_absolute_size(d, f.PixelSize * PANGO_SCALE);
    pango_font_description_set_weight(d, f.Bold ? PANGO_WEIGHT_BOLD : PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(d, f.Italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    if (cache.size() > 256) {
        for (auto& [k, old] : cache)
            pango_font_description_free(old);
        cache.clear();
    }
    cache.emplace(key, d);
    return d;
}

}  // namespace

std::string ResolveFontFamily(std::string_view name)
{
    std::string key = UpperCase(Trim(name));
    std::lock_guard<std::mutex> lock(gResolveLock);
    auto it = gResolved.find(key);
    if (it != gResolved.end())
        return it->second;
    std::string family;
    for (const TAlias& a : kAliases)
        if (SameText(a.Name, key)) {
            family = a.Family;
            break;
        }
    if (family.empty() && !key.empty()) {
        std::string exact;
        if (InstalledFamily(std::string(Trim(name)), &exact))
            family = exact;
    }
    gResolved.emplace(key, family);
    return family;
}

TPrefixedText StripHotkeyPrefix(std::string_view text, TPrefixMode mode)
{
    TPrefixedText r;
    if (mode == TPrefixMode::None) {
        r.Text = text;
        return r;
    }
    r.Text.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&' || i + 1 >= text.size()) {
            r.Text += text[i];
            continue;
        }
        ++i;  // the marker itself is dropped; "&&" keeps the second "&"
        if (text[i] != '&' && r.UnderlineStart < 0 && mode == TPrefixMode::Show) {
            r.UnderlineStart = int(r.Text.size());
            size_t len = 1;  // the whole UTF-8 sequence of the marked character
            while (i + len < text.size() && (uint8_t(text[i + len]) & 0xC0) == 0x80)
                ++len;
            r.UnderlineEnd = r.UnderlineStart + int(len);
        }
        r.Text += text[i];
    }
    return r;
}

PangoLayout* CreateTextLayout(const TFontSpec& font, std::string_view text, TPrefixMode prefix)
{
    PangoLayout* layout = pango_layout_new(ThreadText().Context);
    pango_layout_set_font_description(layout, Description(font));
    TPrefixedText p = StripHotkeyPrefix(text, prefix);
    pango_layout_set_text(layout, p.Text.data(), int(p.Text.size()));
    if (font.Underline || font.StrikeOut || p.UnderlineStart >= 0) {
        PangoAttrList* attrs = pango_attr_list_new();
        if (font.Underline)
            pango_attr_list_insert(attrs, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
        if (font.StrikeOut)
            pango_attr_list_insert(attrs, pango_attr_strikethrough_new(TRUE));
        if (p.UnderlineStart >= 0 && !font.Underline) {
            PangoAttribute* u = pango_attr_underline_new(PANGO_UNDERLINE_SINGLE);
            u->start_index = unsigned(p.UnderlineStart);
            u->end_index = unsigned(p.UnderlineEnd);
            pango_attr_list_insert(attrs, u);
        }
        pango_layout_set_attributes(layout, attrs);
        pango_attr_list_unref(attrs);
    }
    return layout;
}

void FontMetrics(const TFontSpec& font, double* ascent, double* descent)
{
    PangoFontMetrics* m = pango_context_get_metrics(ThreadText().Context, Description(font), nullptr);
    *ascent = FromPango(pango_font_metrics_get_ascent(m));
    *descent = FromPango(pango_font_metrics_get_descent(m));
    pango_font_metrics_unref(m);
}

}  // namespace dcs::gdi

#if defined(__SANITIZE_THREAD__)
// fontconfig, glib and pango are not built with the thread sanitizer: their own atomics
// are invisible to it, so pango's start-up thread shows up as races inside them. Defined
// here because this file is linked into every program that lays out text.
extern "C" const char* __tsan_default_suppressions()
{
    return "race:libfontconfig.so\nrace:libglib-2.0.so\nrace:libpango-1.0.so\n"
           "race:libpangoft2-1.0.so\nrace:libpangocairo-1.0.so\n";
}
#endif
