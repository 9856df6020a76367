#include "Fixture.h"

#include "platform/classes/TextForm.h"
#include "platform/controls/ImgList.h"
#include "platform/win/Timer.h"

#include <cairo.h>

namespace dcs {
namespace {

using ImageLists = testing::HeadlessGui;

uint32_t PixelOf(const TGraphic& G, int X, int Y)
{
    cairo_surface_flush(G.Surface());
    return reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(G.Surface()) +
                                             size_t(Y) * cairo_image_surface_get_stride(G.Surface()))[X];
}

// A strip of 16 x 16 squares in the given colours.
void Strip(TBitmap& B, std::initializer_list<TColor> Colors)
{
    B.SetSize(16 * int(Colors.size()), 16);
    int x = 0;
    for (TColor c : Colors) {
        B.Canvas()->Brush.Color = c;
        B.Canvas()->FillRect(TRect::Bounds(x, 0, 16, 16));
        x += 16;
    }
}

TEST_F(ImageLists, AStripIsCutIntoPicturesThatComeBackByIndex)
{
    TOwned<TImageList> list(Create<TImageList>(nullptr));
    TBitmap strip, one;
    Strip(strip, {clRed, clLime, clBlue});
    EXPECT_EQ(list->Add(&strip, nullptr), 0);
    Strip(one, {clYellow});
    EXPECT_EQ(list->Add(&one, nullptr), 3);
    EXPECT_EQ(list->Count(), 4);
    struct {
        int Index;
        uint32_t Pixel;
    } cases[] = {{0, 0xFFFF0000u}, {1, 0xFF00FF00u}, {2, 0xFF0000FFu}, {3, 0xFFFFFF00u}};
    for (auto& c : cases) {
        TBitmap b;
        ASSERT_TRUE(list->GetBitmap(c.Index, &b));
        EXPECT_EQ(b.Width(), 16);
        EXPECT_EQ(b.Height(), 16);
        EXPECT_EQ(PixelOf(b, 0, 0), c.Pixel) << c.Index;
        EXPECT_EQ(PixelOf(b, 15, 15), c.Pixel) << c.Index;
    }
    TBitmap untouched;
    untouched.SetSize(3, 3);
    EXPECT_FALSE(list->GetBitmap(4, &untouched));
    EXPECT_FALSE(list->GetBitmap(-1, &untouched));
    EXPECT_EQ(untouched.Width(), 3);
    TBitmap empty;
    EXPECT_EQ(list->Add(&empty, nullptr), -1);
    list->Delete(0);
    TBitmap first;
    list->GetBitmap(0, &first);
    EXPECT_EQ(PixelOf(first, 8, 8), 0xFF00FF00u);
    list->SetWidth(32);
    EXPECT_EQ(list->Count(), 0) << "a new size empties the list";
}

TEST_F(ImageLists, AMaskClearsThePictureAndDrawingHonoursEnabled)
{
    TOwned<TImageList> list(Create<TImageList>(nullptr));
    TBitmap image, mask;
    Strip(image, {clRed});
    mask.SetSize(16, 16);
    mask.Canvas()->Brush.Color = clBlack;
    mask.Canvas()->FillRect({0, 0, 16, 16});
    mask.Canvas()->Brush.Color = clWhite;
    mask.Canvas()->FillRect({0, 0, 8, 16});  // left half transparent
    list->Add(&image, &mask);
    TForm* f = MakeForm(100, 50);
    f->SetColor(clWhite);
    f->OnPaint = [&](TObject*) {
        list->Draw(f->Canvas(), 10, 10, 0);
        list->Draw(f->Canvas(), 40, 10, 0, false);
        list->Draw(f->Canvas(), 70, 10, 7);  // no such picture: nothing
    };
    f->Invalidate();
    f->PaintNow();
    const TBackbuffer& bb = f->Backbuffer();
    EXPECT_EQ(bb.Pixel(12, 15) & 0xFFFFFF, 0xFFFFFFu) << "masked off";
    EXPECT_EQ(bb.Pixel(20, 15) & 0xFFFFFF, 0xFF0000u);
    uint32_t dim = bb.Pixel(50, 15) & 0xFFFFFF;
    EXPECT_NEAR(int((dim >> 8) & 0xFF), 128, 2) << "half opacity over white";
    EXPECT_EQ(bb.Pixel(75, 15) & 0xFFFFFF, 0xFFFFFFu);
}

TEST_F(ImageLists, AListIsStoredWithItsFormLikeEveryComponentWithoutParent)
{
    TForm* f = Create<TForm>(nullptr);
    f->SetName("WithImages");
    auto* list = Create<TImageList>(f);
    list->SetName("Images");
    list->SetWidth(8);
    list->SetHeight(4);
    TBitmap strip;
    strip.SetSize(24, 4);
    for (int i = 0; i < 3; ++i) {
        strip.Canvas()->Brush.Color = i == 0 ? clRed : i == 1 ? clLime : clBlue;
        strip.Canvas()->FillRect(TRect::Bounds(8 * i, 0, 8, 4));
    }
    list->Add(&strip, nullptr);
    auto* timer = Create<TTimer>(f);  // components without a parent are stored too
    timer->SetName("Tick");
    timer->SetInterval(250);
    std::string text = ComponentToText(f);
    TForm* g = Create<TForm>(nullptr);
    ReadComponentFromText(text, g);
    auto* back = As<TImageList>(g->FindComponent("Images"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->Width(), 8);
    EXPECT_EQ(back->Height(), 4);
    ASSERT_EQ(back->Count(), 3);
    TBitmap b;
    back->GetBitmap(2, &b);
    EXPECT_EQ(PixelOf(b, 4, 2), 0xFF0000FFu);
    auto* tick = As<TTimer>(g->FindComponent("Tick"));
    ASSERT_TRUE(tick);
    EXPECT_EQ(tick->Interval(), 250u);
    EXPECT_EQ(ComponentToText(g), text);
}

}  // namespace
}  // namespace dcs
