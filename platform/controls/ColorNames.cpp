#include "platform/base/Strings.h"
#include "platform/classes/IntegerIdents.h"
#include "platform/controls/Graphics.h"

#include <climits>
#include <cstdio>

namespace dcs {

namespace {

const TIdentTable& ColorIdents()
{
    static const TIdentTable t = {
        {"clBlack", clBlack},
        {"clMaroon", clMaroon},
        {"clGreen", clGreen},
        {"clOlive", clOlive},
        {"clNavy", clNavy},
        {"clPurple", clPurple},
        {"clTeal", clTeal},
        {"clGray", clGray},
        {"clSilver", clSilver},
        {"clRed", clRed},
        {"clLime", clLime},
        {"clYellow", clYellow},
        {"clBlue", clBlue},
        {"clFuchsia", clFuchsia},
        {"clAqua", clAqua},
        {"clWhite", clWhite},
        {"clMoneyGreen", clMoneyGreen},
        {"clSkyBlue", clSkyBlue},
        {"clCream", clCream},
        {"clMedGray", clMedGray},
        {"clActiveBorder", clActiveBorder},
        {"clActiveCaption", clActiveCaption},
        {"clAppWorkSpace", clAppWorkSpace},
        {"clBackground", clBackground},
        {"clBtnFace", clBtnFace},
        {"clBtnHighlight", clBtnHighlight},
        {"clBtnShadow", clBtnShadow},
        {"clBtnText", clBtnText},
        {"clCaptionText", clCaptionText},
        {"clDefault", clDefault},
        {"clGradientActiveCaption", clGradientActiveCaption},
        {"clGradientInactiveCaption", clGradientInactiveCaption},
        {"clGrayText", clGrayText},
        {"clHighlight", clHighlight},
        {"clHighlightText", clHighlightText},
        {"clHotLight", clHotLight},
        {"clInactiveBorder", clInactiveBorder},
        {"clInactiveCaption", clInactiveCaption},
        {"clInactiveCaptionText", clInactiveCaptionText},
        {"clInfoBk", clInfoBk},
        {"clInfoText", clInfoText},
        {"clMenu", clMenu},
        {"clMenuBar", clMenuBar},
        {"clMenuHighlight", clMenuHighlight},
        {"clMenuText", clMenuText},
        {"clNone", clNone},
        {"clScrollBar", clScrollBar},
        {"cl3DDkShadow", cl3DDkShadow},
        {"cl3DLight", cl3DLight},
        {"clWindow", clWindow},
        {"clWindowFrame", clWindowFrame},
        {"clWindowText", clWindowText},
    };
    return t;
}

}  // namespace

void RegisterColorIdents() { RegisterIntegerIdents("TColor", ColorIdents()); }

bool ColorToIdent(TColor Color, std::string& Ident)
{
    for (const auto& [name, v] : ColorIdents())
        if (v == Color) {
            Ident = name;
            return true;
        }
    return false;
}

bool IdentToColor(const std::string& Ident, TColor& Color)
{
    for (const auto& [name, v] : ColorIdents())
        if (SameText(name, Ident)) {
            Color = TColor(v);
            return true;
        }
    return false;
}

std::string ColorToString(TColor Color)
{
    std::string name;
    if (ColorToIdent(Color, name))
        return name;
    char buf[16];
    std::snprintf(buf, sizeof buf, "$%08X", uint32_t(Color));
    return buf;
}

TColor StringToColor(const std::string& Text)
{
    TColor c;
    if (IdentToColor(Text, c))
        return c;
    int64_t v = StrToInt64(Text);
    if (v < INT32_MIN || v > int64_t(UINT32_MAX))
        throw EConvertError("'" + Text + "' is not a valid colour");
    return TColor(uint32_t(v));
}

}  // namespace dcs
