// The style vocabulary every smooth control implements: named colour schemes, colour
// tones, and the two interfaces a style manager or the designer queries for.
#pragma once

#include "platform/base/Interfaces.h"
#include "platform/gdi/Gdi.h"

#include <string>

namespace dcs::smooth {

enum TSmStyle : int32_t {
    tsOffice2003Blue,
    tsOffice2003Silver,
    tsOffice2003Olive,
    tsOffice2003Classic,
    tsOffice2007Luna,
    tsOffice2007Obsidian,
    tsWindowsXP,
    tsWhidbey,
    tsCustom,
    tsOffice2007Silver,
    tsWindowsVista,
    tsWindows7,
    tsTerminal,
    tsOffice2010Blue,
    tsOffice2010Silver,
    tsOffice2010Black,
    tsWindows8,
    tsOffice2013White,
    tsOffice2013LightGray,
    tsOffice2013Gray
};

struct TColorTone {
    TColor BrushColor = clNone;
    TColor BorderColor = clNone;
    TColor TextColor = clNone;
};

struct TColorTones {
    TColorTone Background;
    TColorTone Foreground;
    TColorTone Selected;
    TColorTone Hover;
    TColorTone Disabled;
};

class ISmStyle : public virtual IInterface {
public:
    static constexpr TGUID IID = MakeGUID("{11AC2DDC-C087-4298-AB6E-EA1B5017511B}");
    virtual void SetComponentStyle(TSmStyle AStyle) = 0;

protected:
    ~ISmStyle() = default;
};

class ISmTones : public virtual IInterface {
public:
    static constexpr TGUID IID = MakeGUID("{1F492643-6699-4F25-8B34-3233FA735036}");
    virtual void SetColorTones(const TColorTones& ATones) = 0;

protected:
    ~ISmTones() = default;
};

// The platform always has the newer system interface, so the default face is the newer one.
bool SystemHasVistaApi();
std::string DefaultFontName();

}  // namespace dcs::smooth
