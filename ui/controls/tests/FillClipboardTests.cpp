#include "platform/controls/Clipbrd.h"
#include "ui/controls/GDIPFill.h"

#include <gtest/gtest.h>

#include <string>

namespace dcs::smooth {
namespace {

TEST(FillClipboard, RoundTripAndCutData)
{
    Clipboard().Clear();
    TGDIPFill target;
    target.SetColor(0x111111);
    target.LoadFromClipBoard();
    EXPECT_EQ(target.Color(), 0x111111) << "no fill on the clipboard";

    TGDIPFill source;
    source.SetColor(0x123456);
    source.SetColorMirror(0x654321);
    source.SetGradientType(gtHatch);
    source.SetHatchStyle(HatchStyle(7));
    source.SetOpacityTo(17);
    source.SetRounding(9);
    source.SetShadowType(stSurround);
    source.SetGlow(gmRadialGradient);
    source.SaveToClipBoard();
    const UINT format = RegisterClipboardFormat("GDI+ Fill");
    ASSERT_TRUE(Clipboard().HasFormat(format));
    int changes = 0;
    target.OnChange = [&](TObject*) { ++changes; };
    target.LoadFromClipBoard();
    EXPECT_EQ(target.Color(), 0x123456);
    EXPECT_EQ(target.ColorMirror(), 0x654321);
    EXPECT_EQ(target.GradientType(), gtHatch);
    EXPECT_EQ(target.HatchStyle(), HatchStyle(7));
    EXPECT_EQ(target.OpacityTo(), 17);
    EXPECT_EQ(target.Rounding(), 9);
    EXPECT_EQ(target.ShadowType(), stSurround);
    EXPECT_EQ(target.Glow(), gmRadialGradient);
    EXPECT_EQ(changes, 1);

    // Every shorter cut of the stored bytes fails without touching the fill.
    const std::string whole = Clipboard().GetData(format);
    TGDIPFill other;
    for (size_t n = 0; n < whole.size(); n += 3) {
        Clipboard().SetData(format, whole.substr(0, n));
        EXPECT_ANY_THROW(other.LoadFromClipBoard()) << n;
        EXPECT_EQ(other.Color(), 0xC0C0C0) << n;
        EXPECT_EQ(other.Rounding(), 0) << n;
    }
    Clipboard().Clear();
}

}  // namespace
}  // namespace dcs::smooth
