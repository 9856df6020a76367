#include "ui/controls/SmStyleIF.h"

#include <gtest/gtest.h>

namespace dcs::smooth::test {
namespace {

class TStyled : public TImplements<TInterfacedObject, ISmStyle, ISmTones> {
public:
    void SetComponentStyle(TSmStyle AStyle) override { Style = AStyle; }
    void SetColorTones(const TColorTones& ATones) override { Tones = ATones; }
    TSmStyle Style = tsCustom;
    TColorTones Tones;
};

TEST(SmStyleIF, StylesAndTonesFoundByInterfaceQuery)
{
    EXPECT_EQ(int(tsOffice2007Luna), 4);
    EXPECT_EQ(int(tsCustom), 8);
    EXPECT_EQ(int(tsOffice2013Gray), 19);
    static_assert(sizeof(TColorTones) == 15 * sizeof(TColor));

    IntfPtr<TStyled> obj(new TStyled);
    void* p = nullptr;
    ASSERT_EQ(obj->QueryInterface(ISmStyle::IID, &p), S_OK);
    static_cast<ISmStyle*>(p)->SetComponentStyle(tsWindows8);
    static_cast<ISmStyle*>(p)->_Release();
    EXPECT_EQ(obj->Style, tsWindows8);
    ASSERT_EQ(obj->QueryInterface(ISmTones::IID, &p), S_OK);
    TColorTones t;
    t.Hover.TextColor = 0x123456;
    static_cast<ISmTones*>(p)->SetColorTones(t);
    static_cast<ISmTones*>(p)->_Release();
    EXPECT_EQ(obj->Tones.Hover.TextColor, 0x123456);
    EXPECT_EQ(DefaultFontName(), "Segoe UI");
}

}  // namespace
}  // namespace dcs::smooth::test
