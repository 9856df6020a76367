#include "ControlFixture.h"

#include "ui/controls/SmoothLabel.h"
#include "ui/controls/SmoothLedLabel.h"

#include <cairo.h>

#include <cstdio>
#include <filesystem>
#include <memory>

namespace dcs::smooth::test {
namespace {

using Label = ControlTest;
constexpr uint32_t kWhite = 0xFFFFFFFF;

// The smallest rectangle of R holding every pixel that is not C (empty when none).
TRect InkBounds(TCustomForm* F, TRect R, uint32_t C)
{
    TRect b {R.Right, R.Bottom, R.Left, R.Top};
    bool any = false;
    for (int y = R.Top; y < R.Bottom; ++y)
        for (int x = R.Left; x < R.Right; ++x)
            if (F->Backbuffer().Pixel(x, y) != C) {
                any = true;
                b.Left = std::min(b.Left, x), b.Top = std::min(b.Top, y);
                b.Right = std::max(b.Right, x + 1), b.Bottom = std::max(b.Bottom, y + 1);
            }
    return any ? b : TRect {};
}

TSmoothLabel* SolidLabel(ControlTest* T, TCustomForm* F, TRect B, const std::string& Text)
{
    auto* l = T->template Place<TSmoothLabel>(F, B);
    l->Caption()->SetGradientType(gtSolid);
    l->Caption()->SetColorStart(clBlack);
    l->Caption()->Font()->SetName("Arial");
    l->Caption()->Font()->SetSize(14);
    l->Caption()->SetText(Text);
    return l;
}

TEST_F(Label, ShadowCaptionFollowsTheMainTextOnlyWhenAsked)
{
    TOwned<TSmoothLabel> l(Create<TSmoothLabel>(nullptr));
    int changes = 0;
    l->OnChange = [&](TObject*) { ++changes; };
    l->Caption()->SetText("Essentials");
    EXPECT_EQ(l->CaptionShadow()->Text(), "Essentials");
    EXPECT_GE(changes, 1);
    l->CaptionShadow()->SetText("shadow");
    EXPECT_EQ(l->Caption()->Text(), "Essentials") << "the shadow never writes the main caption";
    l->SetAutoShadowCaption(false);
    l->Caption()->SetText("Sports");
    EXPECT_EQ(l->CaptionShadow()->Text(), "shadow");
    l->SetVersion("0");
    EXPECT_EQ(l->Version(), "1.6.0.2");
}

TEST_F(Label, BrushKindsThatDrawNothingAndAMissingEndColour)
{
    TForm* f = MakeForm(300, 100);
    f->SetColor(clWhite);
    auto* l = SolidLabel(this, f, TRect::Bounds(0, 0, 280, 50), "Medical");
    const TRect area = TRect::Bounds(0, 0, 280, 50);
    Paint(f);
    EXPECT_TRUE(AnyNot(f, area, kWhite));
    for (TSmGradientType t : {gtRadial, gtAngle, gtPath, gtNone, gtTexture}) {
        l->Caption()->SetGradientType(t);
        Paint(f);
        EXPECT_FALSE(AnyNot(f, area, kWhite)) << "gradient type " << t;
    }
    // Blue to nothing: every text pixel is blue over white (red = green), no end colour.
    l->Caption()->SetColorStart(clBlue);
    l->Caption()->SetColorEnd(clNone);
    for (TSmGradientType t : {gtVertical, gtHorizontal, gtForwardDiagonal, gtBackwardDiagonal, gtHatch}) {
        l->Caption()->SetGradientType(t);
        Paint(f);
        int ink = 0;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 280; ++x) {
                const uint32_t p = Px(f, x, y);
                ink += p != kWhite;
                ASSERT_EQ((p >> 16) & 0xFF, (p >> 8) & 0xFF) << "type " << t << " at " << x << "," << y;
                ASSERT_EQ(p & 0xFF, 0xFFu);
            }
        EXPECT_GT(ink, 50) << "type " << t;
    }
}

TEST_F(Label, WrappedCentreAlignsEachLineAndShadowedFillShiftsTheText)
{
    TForm* f = MakeForm(300, 200);
    f->SetColor(clWhite);
    auto* l = SolidLabel(this, f, TRect::Bounds(0, 0, 241, 121), "I\nWWWWWW");
    l->SetWordWrap(true);
    Paint(f);
    DumpPng(f, "label-wrapped");
    const TRect all = InkBounds(f, TRect::Bounds(0, 0, 241, 121), kWhite);
    ASSERT_FALSE(all.IsEmpty());
    const int mid = (all.Top + all.Bottom) / 2;
    const TRect first = InkBounds(f, TRect {0, all.Top, 241, mid}, kWhite);
    const TRect second = InkBounds(f, TRect {0, mid, 241, all.Bottom}, kWhite);
    EXPECT_NEAR((first.Left + first.Right) / 2.0, 120, 2.5);
    EXPECT_NEAR((second.Left + second.Right) / 2.0, 120, 2.5);
    EXPECT_NEAR((all.Top + all.Bottom) / 2.0, 60, 3);

    l->SetWordWrap(false);  // both lines start at the same left edge
    Paint(f);
    const TRect a = InkBounds(f, TRect {0, 0, 241, 60}, kWhite), b = InkBounds(f, TRect {0, 60, 241, 121}, kWhite);
    EXPECT_NEAR(a.Left, b.Left, 2);

    l->Caption()->SetText("Auto");
    l->SetTransparent(true);
    Paint(f);
    const TRect plain = InkBounds(f, TRect::Bounds(0, 0, 241, 121), kWhite);
    l->Fill()->SetShadowType(stSurround);
    l->Fill()->SetShadowOffset(5);
    Paint(f);
    const TRect shifted = InkBounds(f, TRect::Bounds(0, 0, 241, 121), kWhite);
    EXPECT_EQ(shifted.Left, plain.Left + 5);
    EXPECT_EQ(shifted.Top, plain.Top + 5);

    l->SetBounds(0, 0, 1, 121);
    Paint(f);
    EXPECT_FALSE(AnyNot(f, TRect::Bounds(0, 0, 241, 121), kWhite)) << "a label one pixel wide paints nothing";
}

TEST_F(Label, AutoSizeRoundsTheMeasuredTextPlusTwo)
{
    const struct {
        double Measured;
        int Size;
    } table[] = {{101.4, 103}, {33.6, 36}, {0.5, 2}, {1.5, 4}, {0, 2}};
    for (auto& t : table)
        EXPECT_EQ(LabelAutoSizeExtent(t.Measured), t.Size) << t.Measured;

    TForm* f = MakeForm(400, 200);
    f->SetColor(clWhite);
    auto* l = SolidLabel(this, f, TRect::Bounds(10, 10, 280, 50), "Plate Intensity");
    l->SetAutoSize(true);
    const int w = l->Width(), h = l->Height();
    EXPECT_LT(w, 280);
    EXPECT_GT(w, 60);
    EXPECT_GT(h, 14);
    l->SetBounds(10, 10, 300, 80);
    EXPECT_EQ(l->Width(), w) << "a resize sizes it back to the text";
    EXPECT_EQ(l->Height(), h);
    l->Caption()->SetText("Plate Intensity Plate");
    EXPECT_GT(l->Width(), w);
    l->Caption()->SetText("Plate Intensity");
    l->SetAutoSize(false);
    EXPECT_EQ(l->Width(), w);
    l->Caption()->SetText("Plate Intensity Plate");
    EXPECT_EQ(l->Width(), w) << "AutoSize off keeps the size";
    Paint(f);
    const TRect ink = InkBounds(f, TRect::Bounds(0, 0, 400, 200), kWhite);
    EXPECT_GE(ink.Left, 10);
    EXPECT_LE(ink.Bottom, 10 + h);
}

// The pixels of a PNG file, or empty.
std::vector<uint32_t> ReadPng(const std::string& path, int& w, int& h)
{
    cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
    std::vector<uint32_t> px;
    if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
        w = cairo_image_surface_get_width(s), h = cairo_image_surface_get_height(s);
        const int stride = cairo_image_surface_get_stride(s);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                px.push_back(reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(s) + y * stride)[x]);
    }
    cairo_surface_destroy(s);
    return px;
}

std::string Identify(const std::string& path)
{
    std::string out;
    if (FILE* p = popen(("identify -format '%m %wx%h' '" + path + "' 2>/dev/null").c_str(), "r")) {
        char buf[256];
        while (fgets(buf, sizeof buf, p))
            out += buf;
        pclose(p);
    }
    return out;
}

TEST_F(Label, BothLabelsSaveAsPngBmpAndJpegAndThePngIsTheScreen)
{
    TForm* f = MakeForm(400, 200);
    auto* label = SolidLabel(this, f, TRect::Bounds(0, 0, 180, 40), "Manual");
    label->SetTransparent(false);
    auto* led = Place<TSmoothLedLabel>(f, TRect::Bounds(0, 100, 120, 40));
    led->Caption()->SetFormat("00:00");
    led->Caption()->SetValue(1459);
    Paint(f);
    const auto dir = std::filesystem::temp_directory_path() / ("dcs-label-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const struct {
        TControl* C;
        const char* Name;
    } controls[] = {{label, "label"}, {led, "led"}};
    for (auto& c : controls) {
        auto save = [&](const std::string& file, int iw, int ih, TImageType type) {
            if (auto* l = dynamic_cast<TSmoothLabel*>(c.C))
                l->SaveToImage(file, iw, ih, type, 90);
            else
                static_cast<TSmoothLedLabel*>(c.C)->SaveToImage(file, iw, ih, type, 90);
        };
        const std::string base = (dir / c.Name).string();
        save(base + ".png", c.C->Width(), c.C->Height(), itPNG);
        save(base + ".bmp", 64, 32, itBMP);
        save(base + ".jpg", 90, 20, itJPEG);
        EXPECT_EQ(Identify(base + ".png"), "PNG " + std::to_string(c.C->Width()) + "x" + std::to_string(c.C->Height()));
        EXPECT_EQ(Identify(base + ".bmp"), "BMP 64x32");
        EXPECT_EQ(Identify(base + ".jpg"), "JPEG 90x20");
        int w = 0, h = 0;
        const auto png = ReadPng(base + ".png", w, h);
        ASSERT_EQ(int(png.size()), c.C->Width() * c.C->Height());
        // Where the control covers its pixels fully, the file holds what the screen shows;
        // the anti-aliased edges of the fill are translucent in the file.
        int differ = 0, opaque = 0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (const uint32_t p = png[size_t(y * w + x)]; p >> 24 == 0xFF) {
                    ++opaque;
                    differ += p != Px(f, c.C->Left() + x, c.C->Top() + y);
                }
        EXPECT_EQ(differ, 0) << c.Name;
        EXPECT_GT(opaque, w * h * 9 / 10) << c.Name;
    }
    DumpPng(f, "labels-saved");
    if (!HasFailure())
        std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace dcs::smooth::test
