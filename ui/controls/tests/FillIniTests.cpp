#include "platform/base/SysUtils.h"
#include "ui/controls/GDIPFill.h"

#include <gtest/gtest.h>

#include <map>

namespace dcs::smooth::test {
namespace {

class TMemoryIni : public TFillIniFile {
public:
    int ReadInteger(const std::string& S, const std::string& K, int D) override
    {
        auto it = Keys.find(S + "/" + K);
        return it == Keys.end() ? D : std::stoi(it->second);
    }
    void WriteInteger(const std::string& S, const std::string& K, int V) override
    {
        Keys[S + "/" + K] = std::to_string(V);
    }
    std::string ReadString(const std::string& S, const std::string& K, const std::string& D) override
    {
        auto it = Keys.find(S + "/" + K);
        return it == Keys.end() ? D : it->second;
    }
    void WriteString(const std::string& S, const std::string& K, const std::string& V) override
    {
        Keys[S + "/" + K] = V;
    }
    std::map<std::string, std::string> Keys;
};

TEST(FillIni, RoundTripRestoresSettingsAndPictureBytes)
{
    TGDIPFill a;
    a.SetColor(0x112233);
    a.SetColorMirror(clNone);
    a.SetGradientType(gtHatch);
    a.SetHatchStyle(HatchStyleWeave);
    a.SetRounding(6);
    a.SetRoundingType(rtLeft);
    a.SetGlow(gmRadial);
    a.SetOpacityTo(17);
    a.SetShadowColor(clBtnFace);
    const std::vector<uint8_t> bytes = {0x89, 'P', 'N', 'G', 0, 0xFF, 0x10};
    a.Picture()->LoadFromBytes(bytes);
    TMemoryIni ini;
    a.SaveToFile(ini, "Fill");
    EXPECT_EQ(ini.Keys["Fill/Picture"], "89504E4700FF10");
    EXPECT_EQ(ini.Keys["Fill/PictureSize"], "14");
    EXPECT_EQ(ini.Keys["Fill/ColorMirror"], std::to_string(clNone));
    EXPECT_EQ(ini.Keys.count("Fill/ShadowType"), 0u);

    TGDIPFill b;
    b.SetPictureSize(psCustom);
    int changes = 0;
    b.OnChange = [&](TObject*) { ++changes; };
    b.LoadFromFile(ini, "Fill");
    EXPECT_EQ(changes, 1) << "one notification for the whole load";
    EXPECT_EQ(b.Picture()->Data(), bytes);
    EXPECT_TRUE(b.BackGroundPicture()->Empty());
    EXPECT_EQ(b.PictureSize(), psCustom) << "the picture size property is not part of the section";
    EXPECT_EQ(b.Color(), 0x112233);
    EXPECT_EQ(b.HatchStyle(), HatchStyleWeave);
    EXPECT_EQ(b.RoundingType(), rtLeft);
    EXPECT_EQ(b.Glow(), gmRadial);
    EXPECT_EQ(b.OpacityTo(), 17);
    EXPECT_EQ(b.ShadowColor(), clBtnFace);
}

TEST(FillIni, SizeKeyOnlySaysAPictureIsThere)
{
    for (const char* size : {"1", "2000000000"}) {
        TMemoryIni ini;
        ini.Keys["F/Picture"] = "0102030405";
        ini.Keys["F/PictureSize"] = size;
        TGDIPFill f;
        f.LoadFromFile(ini, "F");
        EXPECT_EQ(f.Picture()->Data(), (std::vector<uint8_t> {1, 2, 3, 4, 5})) << size;
    }
    TMemoryIni ini;
    ini.Keys["F/Picture"] = "0102";
    ini.Keys["F/PictureSize"] = "0";
    TGDIPFill f;
    f.LoadFromFile(ini, "F");
    EXPECT_TRUE(f.Picture()->Empty());
}

TEST(FillIni, BadHexRaisesWithEarlierKeysKept)
{
    TMemoryIni ini;
    ini.Keys["F/Color"] = "255";
    ini.Keys["F/Picture"] = "01ZZ";
    ini.Keys["F/PictureSize"] = "4";
    TGDIPFill f;
    int changes = 0;
    f.OnChange = [&](TObject*) { ++changes; };
    try {
        f.LoadFromFile(ini, "F");
        FAIL() << "no exception";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "No Hex-Number");
    }
    EXPECT_EQ(f.Color(), 255);
    EXPECT_TRUE(f.Picture()->Empty());
    f.SetColor(1);
    EXPECT_EQ(changes, 1) << "the update bracket is closed after the failure";
}

}  // namespace
}  // namespace dcs::smooth::test
