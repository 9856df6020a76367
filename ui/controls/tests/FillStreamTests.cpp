#include "platform/base/IniFiles.h"
#include "platform/base/Streams.h"
#include "platform/classes/TextForm.h"
#include "platform/controls/Clipbrd.h"
#include "ui/controls/GDIPFill.h"
#include "ui/controls/ImageEncoders.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace dcs::smooth::test {
namespace {

const std::vector<uint8_t> kPngBytes = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 1, 2, 3};

// Every published property of the fill as text, pictures as their bytes.
std::vector<std::string> Snapshot(TGDIPFill& F)
{
    std::vector<std::string> out;
    for (const TPropInfo* p : GetPropList(F)) {
        if (p->Kind == TTypeKind::tkClass) {
            const auto& d = static_cast<TSmGDIPPicture*>(p->GetObj(F))->Data();
            out.push_back(p->Name + "=" + std::string(d.begin(), d.end()));
        } else {
            out.push_back(p->Name + "=" + std::to_string(p->GetOrd(F)));
        }
    }
    return out;
}

// A fill with every published property away from its default.
void SetEverything(TGDIPFill& F)
{
    for (const TPropInfo* p : GetPropList(F)) {
        switch (p->Kind) {
        case TTypeKind::tkClass: static_cast<TSmGDIPPicture*>(p->GetObj(F))->LoadFromBytes(kPngBytes); break;
        case TTypeKind::tkEnumeration: p->SetOrd(F, int64_t(p->Enum->Names.size()) - 1); break;
        case TTypeKind::tkBoolean: p->SetOrd(F, 1); break;
        default: p->SetOrd(F, p->TypeName == "Byte" ? 17 : p->TypeName == "TColor" ? 0x123456 : 7); break;
        }
    }
}

TEST(FillStream, PublishedPropertiesInOrderWithTheAlwaysStoredOnesWrittenAtDefault)
{
    TGDIPFill f;
    std::vector<std::string> names;
    for (const TPropInfo* p : GetPropList(f))
        names.push_back(p->Name);
    const std::vector<std::string> expected = {"Color",
                                               "ColorTo",
                                               "ColorMirror",
                                               "ColorMirrorTo",
                                               "GradientType",
                                               "GradientMirrorType",
                                               "HatchStyle",
                                               "HatchStyleMirror",
                                               "BackGroundPictureAspectRatio",
                                               "BackGroundPictureMode",
                                               "BackGroundPicture",
                                               "BackGroundPicturePosition",
                                               "BackGroundPictureLeft",
                                               "BackGroundPictureTop",
                                               "BackGroundPictureAspectMode",
                                               "Picture",
                                               "PicturePosition",
                                               "PictureLeft",
                                               "PictureTop",
                                               "PictureSize",
                                               "PictureWidth",
                                               "PictureHeight",
                                               "PictureAspectRatio",
                                               "PictureAspectMode",
                                               "Opacity",
                                               "OpacityTo",
                                               "OpacityMirror",
                                               "OpacityMirrorTo",
                                               "BorderColor",
                                               "BorderOpacity",
                                               "BorderWidth",
                                               "Rounding",
                                               "RoundingType",
                                               "ShadowColor",
                                               "ShadowOffset",
                                               "ShadowType",
                                               "Angle",
                                               "Glow",
                                               "GlowGradientColor",
                                               "GlowRadialColor"};
    EXPECT_EQ(names, expected);

    TSaver saver(nullptr);
    saver.SaveObject = &f;
    TMemoryStream bin;
    WriteComponentToStream(bin, &saver);
    bin.SetPosition(0);
    EXPECT_EQ(ObjectBinaryToText(bin),
              "object TSaver\n"
              "  SaveObject.ColorMirror = clNone\n"
              "  SaveObject.ColorMirrorTo = clNone\n"
              "  SaveObject.GradientType = gtVertical\n"
              "  SaveObject.GradientMirrorType = gtSolid\n"
              "  SaveObject.BorderColor = clNone\n"
              "  SaveObject.Rounding = 0\n"
              "  SaveObject.ShadowOffset = 0\n"
              "  SaveObject.Glow = gmNone\n"
              "end\n");
}

TEST(FillStream, TheClipboardCarriesEveryPublishedProperty)
{
    Clipboard().Clear();
    TGDIPFill untouched;
    untouched.LoadFromClipBoard();  // nothing there: nothing happens
    TGDIPFill fresh;
    EXPECT_EQ(Snapshot(untouched), Snapshot(fresh));

    TGDIPFill a, b;
    SetEverything(a);
    ASSERT_NE(Snapshot(a), Snapshot(b));
    a.SaveToClipBoard();
    EXPECT_TRUE(Clipboard().HasFormat(FillClipboardFormat()));
    EXPECT_EQ(FillClipboardFormat(), RegisterClipboardFormat("gdi+ fill"));
    b.LoadFromClipBoard();
    EXPECT_EQ(Snapshot(b), Snapshot(a));
}

TEST(FillStream, ClipboardDataThatIsNoFillStreamIsRefused)
{
    TGDIPFill a;
    SetEverything(a);
    a.SaveToClipBoard();
    const std::string good = Clipboard().GetData(FillClipboardFormat());
    for (size_t cut : {size_t(0), size_t(3), good.size() / 2, good.size() - 1}) {
        Clipboard().SetData(FillClipboardFormat(), good.substr(0, cut));
        TGDIPFill b;
        EXPECT_THROW(b.LoadFromClipBoard(), Exception) << cut;
    }
    // A picture length running past the end of the data.
    std::string lying = good;
    size_t at = lying.find("SaveObject.Picture.Data");
    ASSERT_NE(at, std::string::npos);
    at += std::string("SaveObject.Picture.Data").size() + 1;  // the value type byte, then the length
    lying[at] = char(0xFF);
    lying[at + 1] = char(0xFF);
    Clipboard().SetData(FillClipboardFormat(), lying);
    TGDIPFill c;
    EXPECT_THROW(c.LoadFromClipBoard(), Exception);
}

TEST(FillStream, AnIniFileOfTheWindowLayerRoundTrips)
{
    const std::string name = ::testing::TempDir() + "/fill_theme.ini";
    std::remove(name.c_str());
    TIniFile ini(name);
    TGDIPFill a, b;
    a.SetColor(0x102030);
    a.SetGradientType(gtHatch);
    a.SetRounding(9);
    a.Picture()->LoadFromBytes(kPngBytes);
    a.SaveToFile(ini, "Theme");
    b.LoadFromFile(ini, "Theme");
    EXPECT_EQ(b.Color(), 0x102030);
    EXPECT_EQ(b.GradientType(), gtHatch);
    EXPECT_EQ(b.Rounding(), 9);
    EXPECT_EQ(b.Picture()->Data(), kPngBytes);
    std::remove(name.c_str());
}

}  // namespace
}  // namespace dcs::smooth::test
