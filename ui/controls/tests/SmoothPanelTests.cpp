#include "ui/controls/SmoothPanel.h"

#include "platform/base/IniFiles.h"
#include "platform/classes/TextForm.h"
#include "platform/controls/ImgList.h"
#include "platform/controls/tests/Fixture.h"
#include "ui/controls/GPGraphics.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace dcs;
using namespace dcs::smooth;

namespace {

class PanelTest : public dcs::testing::HeadlessGui {
protected:
    TSmoothPanel* MakePanel(int W = 200, int H = 150)
    {
        Form = MakeForm(300, 250);
        Form->SetColor(0x00FF00);
        TSmoothPanel* p = Create<TSmoothPanel>(Form);
        p->SetParent(Form);
        p->SetBounds(10, 10, W, H);
        Pump();
        return p;
    }
    uint32_t Pixel(TSmoothPanel* p, int X, int Y)
    {
        Form->PaintNow();
        return Form->Backbuffer().Pixel(p->Left() + X, p->Top() + Y) & 0xFFFFFF;
    }
    TForm* Form = nullptr;
};

int Lum(uint32_t c) { return int(((c >> 16) & 255) + ((c >> 8) & 255) + (c & 255)) / 3; }

TEST_F(PanelTest, OneWidePanelOnlyFiresOnDraw)
{
    TSmoothPanel* p = MakePanel(1, 100);
    p->Fill()->SetColor(clRed);
    int draws = 0;
    p->OnDraw = [&](TObject*, TCanvas* c, TRect r) {
        ++draws;
        EXPECT_NE(c, nullptr);
        EXPECT_EQ(r, TRect(0, 0, 1, 100));
    };
    EXPECT_EQ(Pixel(p, 0, 50), 0x00FF00u) << "nothing painted, the form shows";
    EXPECT_GE(draws, 1);
}

TEST_F(PanelTest, PainReliefPanelByPixels)
{
    TSmoothPanel* p = MakePanel(200, 150);
    TGDIPFill* f = p->Fill();
    f->SetColor(clWhite);
    f->SetColorTo(clWhite);
    f->SetBorderColor(clBlack);
    f->SetRounding(10);
    f->SetShadowOffset(10);
    f->SetGlow(gmRadial);
    EXPECT_EQ(Pixel(p, 95, 70), 0xFFFFFFu) << "white inside";
    EXPECT_LT(Lum(Pixel(p, 0, 70)), 80) << "black border on the left";
    EXPECT_LT(Lum(Pixel(p, 95, 0)), 80) << "and on the top";
    const uint32_t shadow = Pixel(p, 194, 75);
    EXPECT_NE(shadow, 0x00FF00u) << "the shadow band right of the face";
    EXPECT_NE(shadow, 0xFFFFFFu);
    EXPECT_EQ(Pixel(p, 0, 0), 0x00FF00u) << "a rounded corner over the transparent panel";
    EXPECT_EQ(Pixel(p, 199, 2), 0x00FF00u) << "the shadow is cut at the top right";
}

TEST_F(PanelTest, DraggingTheGripGrowsThePanel)
{
    TSmoothPanel* p = MakePanel(200, 150);
    p->SetResizable(true);
    const TGPRectF g = p->GripRect();
    EXPECT_FLOAT_EQ(g.X, 200 - 17 - 3);
    const TPoint from {p->Left() + int(g.X) + 8, p->Top() + int(g.Y) + 8};
    Drag(Form, from, {from.X + 10, from.Y + 5});
    EXPECT_EQ(p->Width(), 210);
    EXPECT_EQ(p->Height(), 155);
    p->SetResizable(false);
    Drag(Form, {from.X + 10, from.Y + 5}, {from.X + 30, from.Y + 30});
    EXPECT_EQ(p->Width(), 210) << "not resizable";
}

TEST_F(PanelTest, MoveBandDragsTheWindow)
{
    TSmoothPanel* p = MakePanel(200, 150);
    p->SetCanMove(true);
    int ends = 0;
    p->OnEndMoveSize = [&](TObject*) { ++ends; };
    EXPECT_TRUE(p->IsMoveArea({50, 19}));
    EXPECT_FALSE(p->IsMoveArea({50, 20}));
    EXPECT_FALSE(p->IsMoveArea({0, 5}));
    const TPoint before {Form->Left(), Form->Top()};
    Drag(Form, {p->Left() + 50, p->Top() + 5}, {p->Left() + 80, p->Top() + 15}, 1);
    EXPECT_EQ(Form->Left(), before.X + 30);
    EXPECT_EQ(Form->Top(), before.Y + 10);
    EXPECT_EQ(ends, 1);
}

// The caption line runs under a caption at the top and 2 pixels over one at the bottom.
TEST_F(PanelTest, CaptionLinePlacement)
{
    for (TSmoothPanelLocation loc : {plTopLeft, plBottomLeft}) {
        TSmoothPanel* p = MakePanel(200, 150);
        p->Fill()->SetGradientType(gtSolid);
        p->Fill()->SetColor(clWhite);
        p->Fill()->SetBorderColor(clNone);
        TSmoothPanelCaption* c = p->Caption();
        c->SetText("Hello");
        c->SetLocation(loc);
        c->SetGradientType(gtSolid);
        c->SetColorStart(clBlack);
        c->SetLineColor(clRed);
        Form->PaintNow();
        int lineY = -1, textTop = 1000, textBottom = -1;
        for (int y = 0; y < 150; ++y)
            for (int x = 0; x < 150; ++x) {
                const uint32_t px = Form->Backbuffer().Pixel(p->Left() + x, p->Top() + y) & 0xFFFFFF;
                if (px == 0xFF0000u)
                    lineY = y;
                else if (Lum(px) < 90)
                    textTop = std::min(textTop, y), textBottom = std::max(textBottom, y);
            }
        ASSERT_GE(lineY, 0) << loc;
        ASSERT_GE(textBottom, 0) << loc;
        if (loc == plTopLeft) {
            EXPECT_GT(lineY, textBottom);
        } else {
            EXPECT_LT(lineY, textTop);
            EXPECT_GE(lineY, textTop - 8) << "2 pixels above the text box";
        }
        Free(Form);
        Pump();
    }
}

TEST_F(PanelTest, ThemeWritesOnlyTheFillSection)
{
    TSmoothPanel* p = MakePanel();
    p->Fill()->SetColor(0x123456);
    char name[] = "/tmp/panel_themeXXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    close(fd);
    p->SaveToTheme(name);
    TIniFile ini(name);
    EXPECT_EQ(ini.ReadSections(), std::vector<std::string> {"TSmoothPanel.Fill"});
    EXPECT_EQ(ini.ReadInteger("TSmoothPanel.Fill", "Color", 0), 0x123456);
    TSmoothPanel* q = Create<TSmoothPanel>(Form);
    q->LoadFromTheme(name);
    EXPECT_EQ(q->Fill()->Color(), 0x123456);
    std::remove(name);
}

TEST_F(PanelTest, StylesAndAssign)
{
    TSmoothPanel* p = MakePanel();
    p->SetComponentStyle(tsOffice2007Luna);
    EXPECT_EQ(p->Fill()->Color(), 0xFAF1E9);
    EXPECT_EQ(p->Fill()->BorderColor(), 0xE3B28D);
    EXPECT_EQ(p->Fill()->Rounding(), 10);
    EXPECT_EQ(p->Caption()->ColorStart(), 0xB0721C);
    p->SetComponentStyle(tsWindows8);
    EXPECT_EQ(p->Fill()->Rounding(), 0);
    EXPECT_EQ(p->Fill()->Glow(), gmRadial);
    TSmoothPanel* q = Create<TSmoothPanel>(Form);
    q->Caption()->SetText("x");
    q->Caption()->SetLineColor(0x010101);
    q->SetTransparent(false);
    p->Caption()->SetLineColor(0x020202);
    p->Assign(q);
    EXPECT_EQ(p->Caption()->Text(), "x");
    EXPECT_EQ(p->Caption()->LineColor(), 0x020202) << "the line colour is not copied";
    EXPECT_FALSE(p->Transparent());
    EXPECT_EQ(p->Fill()->Color(), q->Fill()->Color());
}

TEST_F(PanelTest, HyperlinkHoverHintAndClick)
{
    TSmoothPanel* p = MakePanel(200, 150);
    TSmoothPanelCaption* c = p->Caption();
    c->SetHTMLLocation(plCustom);
    c->SetHTMLLeft(10);
    c->SetHTMLTop(10);
    c->SetHTMLText("<A href=\"http://x\" title=\"Go there\">link</A> text");
    std::vector<std::string> clicks;
    p->OnAnchorClick = [&](TObject*, const std::string& a) { clicks.push_back(a); };
    Form->PaintNow();
    ASSERT_EQ(p->HtmlRect().Left, 10);
    TGPBitmap bmp(1, 1);
    TGPGraphics g(&bmp);
    const TFontDesc f = FontDesc(*c->HTMLFont());
    const TPoint onLink {10 + 1 + g.TextWidth("link", f) / 2, 10 + g.TextHeight("gh", f) / 2};
    EXPECT_EQ(p->GetAnchorAt(onLink.X, onLink.Y, false), "http://x");
    EXPECT_EQ(p->GetAnchorAt(onLink.X, onLink.Y, true), "Go there");
    EXPECT_EQ(p->GetAnchorAt(onLink.X, onLink.Y + 40, false), "");

    const TPoint at {p->Left() + onLink.X, p->Top() + onLink.Y};
    DeliverMouse(Form->Handle(), WM_MOUSEMOVE, at);
    EXPECT_EQ(p->Cursor(), crHandPoint);
    THintInfo info;
    info.CursorPos = onLink;
    p->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.HintStr, "Go there");
    Click(Form, at);
    EXPECT_EQ(clicks, std::vector<std::string> {"http://x"});
    DeliverMouse(Form->Handle(), WM_MOUSEMOVE, {p->Left() + 150, p->Top() + 120});
    EXPECT_EQ(p->Cursor(), crDefault);
}

// The HTML text's "IDX:" images come from the panel's image list, which the panel forgets
// when it goes away; the rich-hint data is copied in and stored with the panel.
TEST_F(PanelTest, ImageListAndOfficeHint)
{
    TSmoothPanel* p = MakePanel(200, 150);
    p->Fill()->SetColor(clWhite);
    p->Fill()->SetColorTo(clWhite);
    auto* list = Create<TImageList>(Form);
    list->SetName("Icons");
    list->SetWidth(32);
    list->SetHeight(16);
    TBitmap red;
    red.SetSize(32, 16);
    red.Canvas()->Brush.Color = clRed;
    red.Canvas()->FillRect(TRect {0, 0, 32, 16});
    list->Add(&red, nullptr);
    TSmoothPanelCaption* c = p->Caption();
    c->SetHTMLLocation(plCustom);
    c->SetHTMLLeft(10);
    c->SetHTMLTop(10);
    c->SetHTMLText("<A href=\"icon\"><IMG src=\"idx:0\"></A>");
    p->SetImages(list);
    EXPECT_EQ(Pixel(p, 11 + 16, 10 + 8), 0xFF0000u) << "drawn at the text's left";
    EXPECT_EQ(p->GetAnchorAt(11 + 16, 10 + 8, false), "icon");

    TSmHintInfo hint;
    hint.Title = "Icon";
    hint.Notes()->Add("first note");
    p->SetOfficeHint(&hint);
    EXPECT_EQ(p->OfficeHint()->Title, "Icon");
    EXPECT_NE(p->OfficeHint(), &hint) << "copied into the panel's own";
    p->SetName("Panel");
    const std::string text = ComponentToText(Form);
    TOwned<TForm> g(Create<TForm>(nullptr));
    ReadComponentFromText(text, g.get());
    auto* q = dynamic_cast<TSmoothPanel*>(g->FindComponent("Panel"));
    ASSERT_NE(q, nullptr) << text;
    EXPECT_EQ(q->Images(), g->FindComponent("Icons"));
    EXPECT_EQ(q->OfficeHint()->Title, "Icon");
    ASSERT_EQ(q->OfficeHint()->Notes()->Count(), 1);
    EXPECT_EQ(q->OfficeHint()->Notes()->Strings(0), "first note");

    Free(list);
    EXPECT_EQ(p->Images(), nullptr);
    c->SetHTMLText("<A href=\"icon\"><IMG src=\"idx:0\"></A>x");
    EXPECT_NE(Pixel(p, 11 + 16, 10 + 8), 0xFF0000u);
    EXPECT_EQ(p->GetAnchorAt(11 + 16, 10 + 8, false), "") << "the image takes no room any more";
}

}  // namespace
