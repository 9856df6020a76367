#include "Fixture.h"

#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"

#include <cairo.h>

#include <cstdlib>

namespace dcs {
namespace {

using Painting = testing::HeadlessGui;

uint32_t Rgb(uint32_t Argb) { return Argb & 0xFFFFFF; }

// A panel with a label and a 20 x 10 picture (left half red, right half blue) stretched
// over an image control.
struct TSampleForm {
    TForm* Form;
    TPanel* Panel;
    TLabel* Label;
    TImage* Image;
};

TSampleForm MakeSample(testing::HeadlessGui& Gui, TForm* F)
{
    (void)Gui;
    TSampleForm s {F, Create<TPanel>(F), Create<TLabel>(F), Create<TImage>(F)};
    F->SetColor(clWhite);
    s.Panel->SetBounds(10, 10, 200, 120);
    s.Panel->SetColor(clYellow);
    s.Panel->SetBevelOuter(bvNone);
    s.Panel->SetParent(F);
    s.Label->SetCaption("Plate Intensity");
    s.Label->SetBounds(10, 10, 0, 0);
    s.Label->SetParent(s.Panel);
    s.Label->Font()->SetColor(clBlack);
    TGraphic pic;
    pic.SetSize(20, 10);
    cairo_t* cr = cairo_create(pic.Surface());
    cairo_set_source_rgb(cr, 1, 0, 0);
    cairo_rectangle(cr, 0, 0, 10, 10);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0, 0, 1);
    cairo_rectangle(cr, 10, 0, 10, 10);
    cairo_fill(cr);
    cairo_destroy(cr);
    s.Image->Picture()->SetGraphic(&pic);
    s.Image->SetStretch(true);
    s.Image->SetBounds(220, 20, 60, 40);
    s.Image->SetParent(F);
    return s;
}

TEST_F(Painting, EachControlsPixelsLieWhereItsBoundsSay)
{
    TForm* f = MakeForm(300, 200);
    TSampleForm s = MakeSample(*this, f);
    Pump();
    TBackbuffer& bb = f->Backbuffer();
    ASSERT_EQ(bb.Width(), 300);
    if (const char* dir = std::getenv("DCS_PNG_DIR"))
        bb.SavePng(std::string(dir) + "/sample-form.png");
    struct {
        TPoint P;
        uint32_t Rgb;
        const char* What;
    } samples[] = {
        {{5, 5}, 0xFFFFFF, "form background"},
        {{205, 125}, 0xFFFF00, "panel corner"},
        {{150, 100}, 0xFFFF00, "panel inside"},
        {{225, 40}, 0xFF0000, "image, left half of the picture"},
        {{275, 40}, 0x0000FF, "image, right half of the picture"},
        {{285, 40}, 0xFFFFFF, "beside the image"},
    };
    for (auto& p : samples)
        EXPECT_EQ(Rgb(bb.Pixel(p.P.X, p.P.Y)), p.Rgb) << p.What;
    // The label's text: dark pixels inside its bounds on the panel, none just below.
    TRect lb = s.Label->BoundsRect().Offset(10, 10);
    EXPECT_GT(lb.Width(), 40);
    int dark = 0, below = 0;
    for (int y = lb.Top; y < lb.Bottom; ++y)
        for (int x = lb.Left; x < lb.Right; ++x)
            dark += Rgb(bb.Pixel(x, y)) < 0x808080;
    for (int y = lb.Bottom; y < lb.Bottom + 10; ++y)
        for (int x = lb.Left; x < lb.Right; ++x)
            below += Rgb(bb.Pixel(x, y)) != 0xFFFF00;
    EXPECT_GT(dark, 20);
    EXPECT_EQ(below, 0);
}

TEST_F(Painting, InvalidatingOneControlRepaintsOnlyItsRectangle)
{
    TForm* f = MakeForm(300, 200);
    TSampleForm s = MakeSample(*this, f);
    Pump();
    TBackbuffer& bb = f->Backbuffer();
    // Scribble over the whole backbuffer behind the form's back, then invalidate the
    // image alone: only the image's rectangle is restored.
    cairo_t* cr = cairo_create(bb.Surface());
    cairo_set_source_rgb(cr, 0, 1, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_mark_dirty(bb.Surface());
    std::vector<std::string> painted;
    for (TControl* c : std::initializer_list<TControl*> {f, s.Panel, s.Image, s.Label}) {
        TWndMethod old = c->WindowProc;
        c->WindowProc = [old, c, &painted](TMessage& m) {
            if (m.Msg == WM_PAINT && CurrentPaintContext())  // painted by the compositor
                painted.push_back(c->ClassName());
            old(m);
        };
    }
    s.Image->Invalidate();
    Pump();
    EXPECT_EQ(painted, (std::vector<std::string> {"TForm", "TImage"}));
    EXPECT_EQ(Rgb(bb.Pixel(225, 40)), 0xFF0000u);
    EXPECT_EQ(Rgb(bb.Pixel(275, 40)), 0x0000FFu);
    for (TPoint p : {TPoint {219, 40}, TPoint {281, 40}, TPoint {250, 19}, TPoint {250, 61}, TPoint {100, 100}})
        EXPECT_EQ(Rgb(bb.Pixel(p.X, p.Y)), 0x00FF00u) << p.X << "," << p.Y;
    // A windowed control's invalidation repaints its own window and what lies on it.
    painted.clear();
    s.Panel->Invalidate();
    Pump();
    EXPECT_EQ(painted, (std::vector<std::string> {"TForm", "TPanel", "TLabel"}));
}

}  // namespace
}  // namespace dcs
